#pragma once

#include <string>

namespace rzt {

class FileReader;
class IUserMessage;
class PushBackReader;

// Builds the word stream of one file analysis into stream: a LogicalReader on
// a CommentCleaner on a FileReader reading the given encoding, the middle two
// sharing one SymbolRuleMgr; messages may be null. Whatever stack stream held
// before is dropped, its pool of words kept. Returns the FileReader at the
// bottom, owned by the stack: the line pass walks the text it has read.
FileReader& buildReaderStack(PushBackReader& stream, const std::string& encoding, IUserMessage* messages);

}  // namespace rzt
