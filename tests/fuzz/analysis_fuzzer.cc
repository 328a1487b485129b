// Feeds arbitrary bytes through decoding, the readers and every analyzer of
// both analyses into an in-memory workbook. Any input must end normally or
// with one of the system's errors: never a crash, a hang or a sanitizer report.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "analysis/AnalyzerMain.h"
#include "java/ModernFileAnalyzer.h"
#include "options/OptionValues.h"
#include "report/MemoryWorkbook.h"
#include "report/OutputMgr.h"
#include "support/IStatusLine.h"
#include "support/IUserMessage.h"
#include "support/RztError.h"

namespace {

class QuietStatusLine : public rzt::IStatusLine {
 public:
  void setText(const std::string&) override {}
};

class QuietMessages : public rzt::IUserMessage {
 public:
  void showMessage(const std::string&) override {}
  void showCritical(const std::string&) override {}
};

const std::string& scratchDir() {
  static const std::string dir = [] {
    std::string d = "/tmp/rzt-fuzz-" + std::to_string(getpid());
    mkdir(d.c_str(), 0700);
    return d;
  }();
  return dir;
}

// The first byte picks the analysis and the decoding; the rest is the file.
void analyze(const uint8_t* data, size_t size) {
  const uint8_t mode = size > 0 ? data[0] : 0;
  const std::string text(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
                         size > 0 ? size - 1 : 0);
  {
    std::ofstream out(scratchDir() + "/Input.java", std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  static const char* const kEncodings[] = {"auto", "utf-8", "cp932", "euc-jp"};

  QuietStatusLine status;
  QuietMessages messages;
  rzt::OutputMgr report([] { return std::make_unique<rzt::MemoryWorkbook>(); });
  rzt::OptionValues options;
  rzt::AnalyzerMain driver(status, messages);
  driver.setEncoding(kEncodings[(mode >> 1) & 3]);
  if (mode & 1) driver.setFileAnalyzer(std::make_unique<rzt::ModernFileAnalyzer>());
  try {
    driver.init(&report, options);
    driver.doAnalysisFile(scratchDir(), "Input.java");
  } catch (const rzt::RztError&) {
    report.finishedWithError();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  analyze(data, size);
  return 0;
}
