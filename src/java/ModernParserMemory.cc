#include "java/ModernParserMemory.h"

#include <tree_sitter/api.h>

#include <cstdlib>
#include <cstring>
#include <limits>

#include "support/RztError.h"

namespace rzt {

// Every block the runtime gets starts with this header; the runtime sees the
// memory after it. Blocks made outside any arena have no arena and no links.
struct alignas(16) ParserArena::Block {
  Block* prev;
  Block* next;
  ParserArena* arena;
  size_t size;
};
static_assert(sizeof(ParserArena::Block) % alignof(std::max_align_t) == 0);

struct ParserMemoryAccess {
  static thread_local ParserArena* current;
  static thread_local uint64_t failCountdown;

  static void link(ParserArena::Block* b, ParserArena* arena, size_t size) {
    b->arena = arena;
    b->size = size;
    b->prev = nullptr;
    if (arena == nullptr) {
      b->next = nullptr;
      return;
    }
    b->next = arena->head_;
    if (arena->head_) arena->head_->prev = b;
    arena->head_ = b;
    ++arena->blockCount_;
    arena->byteCount_ += size;
  }

  static void unlink(ParserArena::Block* b) {
    ParserArena* arena = b->arena;
    if (arena == nullptr) return;
    if (b->prev) {
      b->prev->next = b->next;
    } else {
      arena->head_ = b->next;
    }
    if (b->next) b->next->prev = b->prev;
    --arena->blockCount_;
    arena->byteCount_ -= b->size;
  }

  [[noreturn]] static void fail() {
    if (current) current->failed_ = true;
    raiseOutOfMemory("ModernFileAnalyzer");
  }

  static bool injectedFailure() {
    if (failCountdown == 0) return false;
    return --failCountdown == 0;
  }

  static size_t total(size_t size) {
    if (size > std::numeric_limits<size_t>::max() - sizeof(ParserArena::Block)) fail();
    return sizeof(ParserArena::Block) + size;
  }


  static bool isPooledSize(size_t size) { return size <= ParserArena::kMaxPooledSize; }
  // The size class of a pooled size; 0 takes the smallest class.
  static size_t sizeClass(size_t size) {
    return size == 0 ? 0 : (size - 1) / ParserArena::kPoolGranule;
  }
  static size_t classBytes(size_t cls) { return (cls + 1) * ParserArena::kPoolGranule; }
  // What the system is asked for: a pooled size gets its whole class, so
  // that the block can serve any size of it later.
  static size_t systemBytes(size_t size) {
    return isPooledSize(size) ? sizeof(ParserArena::Block) + classBytes(sizeClass(size)) : total(size);
  }

  // A pooled block stays on its arena's list of blocks, so releaseAll frees
  // it with the others; its memory holds the link to the next of its class.
  static ParserArena::Block*& nextPooled(ParserArena::Block* b) {
    return *reinterpret_cast<ParserArena::Block**>(b + 1);
  }

  // A block of size's class from arena's pool, in use again; null when there
  // is none.
  static ParserArena::Block* takePooled(ParserArena* arena, size_t size) {
    if (arena == nullptr || !isPooledSize(size)) return nullptr;
    const size_t cls = sizeClass(size);
    ParserArena::Block* b = arena->pool_[cls];
    if (b == nullptr) return nullptr;
    arena->pool_[cls] = nextPooled(b);
    --arena->pooledCount_;
    arena->pooledBytes_ -= classBytes(cls);
    b->size = size;
    ++arena->blockCount_;
    arena->byteCount_ += size;
    return b;
  }

  // Keeps a block its arena's runtime has let go of; false when it is not
  // pooled (too large, no arena, or the pool is full).
  static bool pool(ParserArena::Block* b) {
    ParserArena* arena = b->arena;
    if (arena == nullptr || !isPooledSize(b->size)) return false;
    const size_t cls = sizeClass(b->size);
    if (arena->pooledBytes_ + classBytes(cls) > ParserArena::kMaxPooledBytes) return false;
    --arena->blockCount_;
    arena->byteCount_ -= b->size;
    nextPooled(b) = arena->pool_[cls];
    arena->pool_[cls] = b;
    ++arena->pooledCount_;
    arena->pooledBytes_ += classBytes(cls);
    return true;
  }

  static void* allocate(size_t size, bool zeroed) {
    if (injectedFailure()) fail();
    if (ParserArena::Block* b = takePooled(current, size)) {
      if (zeroed) std::memset(b + 1, 0, size);
      return b + 1;
    }
    size_t bytes = systemBytes(size);
    void* raw = zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
    if (raw == nullptr) fail();
    auto* b = static_cast<ParserArena::Block*>(raw);
    link(b, current, size);
    return b + 1;
  }

  static void* tsMalloc(size_t size) { return allocate(size, false); }

  static void* tsCalloc(size_t count, size_t size) {
    if (size != 0 && count > std::numeric_limits<size_t>::max() / size) fail();
    return allocate(count * size, true);
  }

  static void* tsRealloc(void* p, size_t size) {
    if (p == nullptr) return allocate(size, false);
    auto* b = static_cast<ParserArena::Block*>(p) - 1;
    size_t bytes = systemBytes(size);
    if (injectedFailure()) fail();
    // The block keeps its arena; a failed realloc leaves it as it was.
    ParserArena* arena = b->arena;
    if (isPooledSize(size) && isPooledSize(b->size) && sizeClass(size) == sizeClass(b->size)) {
      // Its class has room for the new size already.
      if (arena) arena->byteCount_ = arena->byteCount_ - b->size + size;
      b->size = size;
      return p;
    }
    unlink(b);
    void* raw = std::realloc(b, bytes);
    if (raw == nullptr) {
      link(b, arena, b->size);
      fail();
    }
    auto* moved = static_cast<ParserArena::Block*>(raw);
    link(moved, arena, size);
    return moved + 1;
  }

  static void tsFree(void* p) {
    if (p == nullptr) return;
    auto* b = static_cast<ParserArena::Block*>(p) - 1;
    if (pool(b)) return;
    unlink(b);
    std::free(b);
  }

  // The pooled blocks are freed with the arena's list.
  static void forgetPool(ParserArena& arena) {
    for (ParserArena::Block*& head : arena.pool_) head = nullptr;
    arena.pooledCount_ = 0;
    arena.pooledBytes_ = 0;
  }
};

thread_local ParserArena* ParserMemoryAccess::current = nullptr;
thread_local uint64_t ParserMemoryAccess::failCountdown = 0;

namespace {

// Installed before main, so that no block of the runtime comes from another
// allocator: a block must be freed by the allocator that made it.
struct AllocatorInstaller {
  AllocatorInstaller() {
    ts_set_allocator(ParserMemoryAccess::tsMalloc, ParserMemoryAccess::tsCalloc, ParserMemoryAccess::tsRealloc,
                     ParserMemoryAccess::tsFree);
  }
};
const AllocatorInstaller kInstaller;

}  // namespace

ParserArena::ParserArena() = default;

ParserArena::~ParserArena() { releaseAll(); }

void ParserArena::releaseAll() {
  Block* b = head_;
  while (b) {
    Block* next = b->next;
    std::free(b);
    b = next;
  }
  head_ = nullptr;
  blockCount_ = 0;
  byteCount_ = 0;
  ParserMemoryAccess::forgetPool(*this);
  failed_ = false;
}

ParserArena::Scope::Scope(ParserArena& arena) : previous_(ParserMemoryAccess::current) {
  ParserMemoryAccess::current = &arena;
}

ParserArena::Scope::~Scope() { ParserMemoryAccess::current = previous_; }

void ParserArena::failAllocationAfter(uint64_t n) { ParserMemoryAccess::failCountdown = n; }

}  // namespace rzt
