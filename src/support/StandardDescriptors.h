#pragma once

namespace rzt {

// Bits of the result of ensureStandardDescriptors.
inline constexpr int kStandardInputWasClosed = 1;
inline constexpr int kStandardOutputWasClosed = 2;
inline constexpr int kStandardErrorWasClosed = 4;

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so
// that no file the program opens later takes their place (progress texts
// would otherwise land in a report). Call it first thing in main, before
// any file is opened. Returns which ones were closed.
int ensureStandardDescriptors();

}  // namespace rzt
