#include "analysis/ParallelAnalysis.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <stdexcept>
#include <utility>

#include "analysis/AnalysisMonitor.h"
#include "java/IFileAnalyzer.h"
#include "support/RztError.h"

namespace rzt {

int32_t ParallelAnalysis::windowFor(int32_t jobs) { return std::max(16, 16 * jobs); }

namespace {

// A worker yields to the consuming thread, which writes the report and is
// the bottleneck of a whole job, but only a little, and relative to the
// program's own priority: lowered far below it (to nice 5 whatever the
// program's), the workers lost their share of the processors to every
// other program of a busy machine, so that two threads could finish later
// than one.
void lowerPriority() {
  constexpr int kBelowTheConsumer = 2;
  const auto self = static_cast<id_t>(::gettid());
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, self);
  if (errno != 0) return;
  ::setpriority(PRIO_PROCESS, self, std::min(nice + kBelowTheConsumer, 19));
}

}  // namespace

ParallelAnalysis::ParallelAnalysis(int32_t jobs, const AnalyzerFactory& factory, const std::string& encoding,
                                   int32_t fileTotal, Consumer consume)
    : consume_(std::move(consume)), fileTotal_(fileTotal) {
  jobs = std::max(jobs, 1);
  slots_.resize(static_cast<size_t>(windowFor(jobs)));
  // The analyzers are made here, so that a failure to make one is the
  // caller's error and no thread has started yet.
  for (int32_t i = 0; i < jobs; ++i) {
    auto worker = std::make_unique<Worker>();
    worker->analyzer = factory();
    if (!worker->analyzer) throw std::logic_error("ParallelAnalysis: the factory made no analyzer");
    worker->monitor = std::make_unique<AnalysisMonitor>(worker->batch);
    worker->analyzer->setEncoding(encoding);
    worker->analyzer->setUserMessage(&worker->batch);
    worker->analyzer->init(worker->monitor.get(), &worker->batch);
    workers_.push_back(std::move(worker));
  }
  try {
    for (auto& worker : workers_) {
      Worker* w = worker.get();
      w->thread = std::thread([this, w] { work(*w); });
    }
  } catch (...) {
    stop();
    throw;
  }
}

ParallelAnalysis::~ParallelAnalysis() { stop(); }

void ParallelAnalysis::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  workReady_.notify_all();
  for (auto& worker : workers_) {
    if (worker->thread.joinable()) worker->thread.join();
  }
}

void ParallelAnalysis::submit(const std::string& dirName, const std::string& fileName) {
  // Only this thread changes submitted_ and consumed_, so it reads them
  // without the lock.
  const auto window = static_cast<int64_t>(slots_.size());
  if (submitted_ - consumed_ >= window) {
    // The window is full: sleep until its older half is done rather than
    // waking for every file, then hand on whatever is ready.
    waitUntilDone(consumed_ + std::max<int64_t>(1, window / 4));
    while (consumeNext()) {
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& slot = slots_[static_cast<size_t>(submitted_ % window)];
    slot.dirName = dirName;
    slot.fileName = fileName;
    slot.done = false;
    ++submitted_;
  }
  workReady_.notify_one();
  // Writing what is ready overlaps the writing with the analysis.
  while (consumeNext()) {
  }
}

void ParallelAnalysis::finish() {
  const auto half = std::max<int64_t>(1, static_cast<int64_t>(slots_.size()) / 2);
  while (consumed_ < submitted_) {
    waitUntilDone(std::min(submitted_, consumed_ + half));
    while (consumeNext()) {
    }
  }
  stop();
}

bool ParallelAnalysis::doneUpTo(int64_t end) const {
  const auto window = static_cast<int64_t>(slots_.size());
  for (int64_t k = consumed_; k < end; ++k) {
    if (!slots_[static_cast<size_t>(k % window)].done) return false;
  }
  return true;
}

void ParallelAnalysis::waitUntilDone(int64_t end) {
  std::unique_lock<std::mutex> lock(mutex_);
  wakeAt_ = end;
  fileDone_.wait(lock, [this, end] { return doneUpTo(end); });
  wakeAt_ = 0;
}

bool ParallelAnalysis::consumeNext() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (consumed_ == submitted_) return false;
  Slot& slot = slots_[static_cast<size_t>(consumed_ % static_cast<int64_t>(slots_.size()))];
  if (!slot.done) return false;
  // The slot is not reused before consumed_ moves past it, so the consumer
  // reads it without the lock while the workers go on.
  lock.unlock();
  consume_(slot.batch);
  lock.lock();
  slot.done = false;
  ++consumed_;
  return true;
}

void ParallelAnalysis::work(Worker& worker) {
  lowerPriority();
  const auto window = static_cast<int64_t>(slots_.size());
  for (;;) {
    int64_t index;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      workReady_.wait(lock, [this] { return stopping_ || claimed_ < submitted_; });
      if (stopping_) return;
      index = claimed_++;
    }
    Slot& slot = slots_[static_cast<size_t>(index % window)];
    analyze(worker, index, slot);
    bool wake;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      slot.batch.swap(worker.batch);
      slot.done = true;
      wake = wakeAt_ > 0 && doneUpTo(wakeAt_);
    }
    // Only the file that completes what the consumer waits for wakes it.
    if (wake) fileDone_.notify_one();
  }
}

void ParallelAnalysis::analyze(Worker& worker, int64_t index, const Slot& slot) {
  const auto ordinal = static_cast<int32_t>(index + 1);
  FileBatch& batch = worker.batch;
  batch.begin(ordinal, slot.dirName, slot.fileName);
  worker.monitor->resumeAnalysis(fileTotal_, ordinal - 1);
  try {
    // Nothing of a failed file's reading state may reach the next file.
    if (worker.stale) worker.analyzer->init(worker.monitor.get(), &batch);
    worker.stale = false;
    worker.analyzer->doAnalysis(slot.dirName, slot.fileName);
  } catch (const RztError& error) {
    batch.fail(error, worker.analyzer->getWordCount());
    worker.stale = true;
  } catch (...) {
    batch.fail(std::current_exception());
    worker.stale = true;
  }
}

}  // namespace rzt
