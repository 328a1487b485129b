// The workbook's parts are deflated at the fastest level. libxlsxwriter asks
// minizip for the default level and offers no setting, and with a large
// report deflating the sheets at the close is most of the writing: level 1
// makes the whole job about a third faster for a file about a third larger.
// This definition takes the place of minizip's own for the program (the
// library's reference to it binds to the program first) and hands the call
// on with the level changed. The declaration is minizip's, with its handle
// and info structure as opaque pointers.
//
// Nothing of ours calls it, so the core library asks the linker to take this
// file into every program that links it (--undefined in CMakeLists.txt).

#include <dlfcn.h>

namespace {

constexpr int kFastestLevel = 1;

}  // namespace

extern "C" int zipOpenNewFileInZip4_64(void* file, const char* filename, const void* zipfi,
                                       const void* extrafield_local, unsigned size_extrafield_local,
                                       const void* extrafield_global, unsigned size_extrafield_global,
                                       const char* comment, int method, int level, int raw, int windowBits,
                                       int memLevel, int strategy, const char* password,
                                       unsigned long crcForCrypting, unsigned long versionMadeBy,
                                       unsigned long flagBase, int zip64) {
  using Open = int (*)(void*, const char*, const void*, const void*, unsigned, const void*, unsigned, const char*,
                       int, int, int, int, int, int, const char*, unsigned long, unsigned long, unsigned long, int);
  static const Open minizipOpen = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
  if (minizipOpen == nullptr) return -104;  // ZIP_INTERNALERROR: the write fails and says so
  if (level != 0) level = kFastestLevel;    // 0 stores, and stays so
  return minizipOpen(file, filename, zipfi, extrafield_local, size_extrafield_local, extrafield_global,
                     size_extrafield_global, comment, method, level, raw, windowBits, memLevel, strategy, password,
                     crcForCrypting, versionMadeBy, flagBase, zip64);
}
