#pragma once

#include <cstdint>

namespace rzt {

// The report settings. Each numeric getter converts its field anew at each
// call and may raise the overflow error; values lie in -32768..32767.
class IOption {
 public:
  virtual ~IOption() = default;
  virtual bool excelIsMax() const = 0;
  virtual bool diagIsOn() const = 0;
  virtual int32_t getExcelZoom() const = 0;
  virtual int32_t getFMaxClass() const = 0;
  virtual int32_t getFMaxLoc() const = 0;
  virtual int32_t getFMinCommentRate() const = 0;
  virtual int32_t getCMaxStatement() const = 0;
  virtual int32_t getCMaxPubMethod() const = 0;
  virtual int32_t getCMaxAveStatement() const = 0;
  virtual int32_t getCMaxPubAttr() const = 0;
  virtual int32_t getMMaxStatement() const = 0;
  virtual int32_t getMMaxMsgSend() const = 0;
  virtual int32_t getMMaxVariable() const = 0;
  virtual int32_t getMMaxBranch() const = 0;
  virtual int32_t getMMaxLoop() const = 0;
};

}  // namespace rzt
