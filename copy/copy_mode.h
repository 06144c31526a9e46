#ifndef PELQUIST_COPY_COPY_MODE_H_
#define PELQUIST_COPY_COPY_MODE_H_

#include <cstdint>

namespace copy {

/// What the program does with its two paths. Single bits, never combined.
using CopyMode = uint32_t;
constexpr CopyMode Copy = 1;
constexpr CopyMode Move = 2;
constexpr CopyMode XCopy = 4;
constexpr CopyMode CollectCopy = 8;

}  // namespace copy

#endif  // PELQUIST_COPY_COPY_MODE_H_
