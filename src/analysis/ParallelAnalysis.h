#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "analysis/FileBatch.h"

namespace rzt {

class AnalysisMonitor;
class IFileAnalyzer;

// Analyses the files of one run on several worker threads and hands each
// file's batch to the calling thread in file order. Each worker has its own
// file analyzer and monitor, and records into a batch of its own: progress,
// message boxes, records and the error that ended the file, if any. At most
// a window of files is in flight (analysed or waiting to be consumed), so
// memory stays bounded however long the run. Every call is made on the
// thread that made the object, which is the one that consumes.
class ParallelAnalysis {
 public:
  using AnalyzerFactory = std::function<std::unique_ptr<IFileAnalyzer>()>;
  // Receives each finished file's batch, in file order; an error it raises
  // stops the workers and passes to the caller of submit or finish.
  using Consumer = std::function<void(const FileBatch&)>;

  // jobs threads (at least 1), each with an analyzer made by factory on this
  // thread, reading with the encoding; the run has fileTotal files, which
  // the progress texts count.
  ParallelAnalysis(int32_t jobs, const AnalyzerFactory& factory, const std::string& encoding,
                   int32_t fileTotal, Consumer consume);
  // Stops the workers (a file being analysed is finished first) and drops
  // whatever was not consumed.
  ~ParallelAnalysis();
  ParallelAnalysis(const ParallelAnalysis&) = delete;
  ParallelAnalysis& operator=(const ParallelAnalysis&) = delete;

  // Queues the next file of the run. Waits, consuming, while the window is
  // full; consumes whatever is ready before it returns.
  void submit(const std::string& dirName, const std::string& fileName);
  // Consumes every file still in flight, then stops the workers.
  void finish();

  // The files in flight at most, for the given number of jobs.
  static int32_t windowFor(int32_t jobs);

 private:
  struct Slot {
    std::string dirName;
    std::string fileName;
    FileBatch batch;
    bool done = false;
  };
  struct Worker {
    std::unique_ptr<IFileAnalyzer> analyzer;
    std::unique_ptr<AnalysisMonitor> monitor;
    FileBatch batch;  // the analyzer and the monitor write here
    bool stale = false;  // the last file failed: init before the next
    std::thread thread;
  };

  void work(Worker& worker);
  void analyze(Worker& worker, int64_t index, const Slot& slot);
  // Hands the next file on to the consumer: false when nothing is in flight
  // or it is not finished.
  bool consumeNext();
  // Sleeps until the files from the next one to consume up to end (not
  // included) are all done.
  void waitUntilDone(int64_t end);
  // With the lock held: whether those files are all done.
  bool doneUpTo(int64_t end) const;
  void stop();

  Consumer consume_;
  int32_t fileTotal_;
  std::vector<Slot> slots_;  // file k lives in slot k % size
  std::vector<std::unique_ptr<Worker>> workers_;
  std::mutex mutex_;
  std::condition_variable workReady_;  // a file was queued, or the run stops
  std::condition_variable fileDone_;   // the files the consumer waits for are done
  int64_t submitted_ = 0;  // files queued
  int64_t claimed_ = 0;    // files taken by a worker
  int64_t consumed_ = 0;   // files handed to the consumer
  int64_t wakeAt_ = 0;     // the consumer sleeps until the files before it are done; 0: awake
  bool stopping_ = false;
};

}  // namespace rzt
