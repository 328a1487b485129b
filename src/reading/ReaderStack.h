#pragma once

#include <memory>
#include <string>

#include "reading/PushBackReader.h"

namespace rzt {

class IUserMessage;

// The word stream of one file analysis: a PushBackReader on a LogicalReader
// on a CommentCleaner on a FileReader reading the given encoding, the middle
// two sharing one SymbolRuleMgr; messages may be null.
std::unique_ptr<PushBackReader> makeReaderStack(const std::string& encoding,
                                                IUserMessage* messages);

}  // namespace rzt
