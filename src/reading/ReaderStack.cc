#include "reading/ReaderStack.h"

#include <utility>

#include "reading/CommentCleaner.h"
#include "reading/FileReader.h"
#include "reading/LogicalReader.h"
#include "reading/SymbolRuleMgr.h"

namespace rzt {

std::unique_ptr<PushBackReader> makeReaderStack(const std::string& encoding,
                                                IUserMessage* messages) {
  auto rules = std::make_shared<const SymbolRuleMgr>();
  auto fileReader = std::make_unique<FileReader>();
  fileReader->setEncoding(encoding);
  auto cleaner = std::make_unique<CommentCleaner>();
  cleaner->init(std::move(fileReader), rules);
  auto wordReader = std::make_unique<LogicalReader>();
  wordReader->init(std::move(cleaner), rules);
  auto stream = std::make_unique<PushBackReader>();
  stream->init(std::move(wordReader));
  stream->setUserMessage(messages);
  return stream;
}

}  // namespace rzt
