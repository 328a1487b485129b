#pragma once

#include <cstddef>
#include <cstdint>

namespace rzt {

// The memory of the tree-sitter runtime. The program installs its own
// allocator into the runtime before main (ts_set_allocator): an allocation
// the machine cannot satisfy raises error 7 ("メモリが不足しています") instead
// of ending the program inside the runtime.
//
// The runtime's callers never check for a failed allocation, so the error
// leaves it by unwinding through its frames (it is compiled with
// -fexceptions), possibly half way through changing a parser, a tree or a
// cursor. Nothing of that state is used again: every block the runtime
// allocates while a ParserArena's Scope is active on the thread belongs to
// that arena, and after a failure its owner drops the objects without calling
// into them and frees all their blocks at once with releaseAll().
//
// A parse makes and frees a great many small blocks, and deleting a tree
// frees them all again: a small block the runtime frees goes back to its
// arena's pool (up to kMaxPooledBytes in all) and is handed out again for
// the next block of its size class, the next file's included.
class ParserArena final {
 public:
  ParserArena();
  ~ParserArena();  // frees what is left
  ParserArena(const ParserArena&) = delete;
  ParserArena& operator=(const ParserArena&) = delete;

  // Makes the arena the owner of the runtime's allocations on this thread
  // for the scope's life.
  class Scope {
   public:
    explicit Scope(ParserArena& arena);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    ParserArena* previous_;
  };

  // Whether an allocation for this arena failed since the last releaseAll().
  bool failed() const { return failed_; }
  // Frees every block of the arena: the runtime's objects made in it must
  // not be used or deleted afterwards.
  void releaseAll();
  // The blocks and bytes the runtime holds now.
  size_t blockCount() const { return blockCount_; }
  size_t byteCount() const { return byteCount_; }
  // The freed blocks kept for reuse, and their bytes (their size classes').
  size_t pooledBlockCount() const { return pooledCount_; }
  size_t pooledByteCount() const { return pooledBytes_; }

  // Blocks up to this size are pooled, in classes of kPoolGranule bytes.
  static constexpr size_t kPoolGranule = 16;
  static constexpr size_t kMaxPooledSize = 512;
  // What the pool of one arena keeps at most; blocks freed beyond it go back
  // to the system.
  static constexpr size_t kMaxPooledBytes = size_t{4} << 20;

  // For tests: the nth allocation from now on this thread fails as if the
  // machine had no memory left (0: none).
  static void failAllocationAfter(uint64_t n);

  struct Block;

 private:
  friend struct ParserMemoryAccess;
  Block* head_ = nullptr;
  size_t blockCount_ = 0;
  size_t byteCount_ = 0;
  // Freed blocks by size class (class i: sizes up to (i + 1) * kPoolGranule),
  // chained through their next links.
  Block* pool_[kMaxPooledSize / kPoolGranule] = {};
  size_t pooledCount_ = 0;
  size_t pooledBytes_ = 0;
  bool failed_ = false;
};

}  // namespace rzt
