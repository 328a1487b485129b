#include "reading/ReaderStack.h"

#include <memory>
#include <utility>

#include "reading/CommentCleaner.h"
#include "reading/FileReader.h"
#include "reading/LogicalReader.h"
#include "reading/PushBackReader.h"
#include "reading/SymbolRuleMgr.h"

namespace rzt {

FileReader& buildReaderStack(PushBackReader& stream, const std::string& encoding, IUserMessage* messages) {
  auto rules = std::make_shared<const SymbolRuleMgr>();
  auto fileReader = std::make_unique<FileReader>();
  fileReader->setEncoding(encoding);
  FileReader& bottom = *fileReader;
  auto cleaner = std::make_unique<CommentCleaner>();
  cleaner->init(std::move(fileReader), rules);
  auto wordReader = std::make_unique<LogicalReader>();
  wordReader->init(std::move(cleaner), rules);
  stream.init(std::move(wordReader));
  stream.setUserMessage(messages);
  return bottom;
}

}  // namespace rzt
