// Rgb: a colour as the drawing code names it, and the colours the program uses.
#pragma once

#include <cstdint>

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

namespace Colours {
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Grey{128, 128, 128};
inline constexpr Rgb Olive{128, 128, 0};
inline constexpr Rgb Teal{0, 128, 128};
inline constexpr Rgb Purple{128, 0, 128};
inline constexpr Rgb Navy{0, 0, 128};
inline constexpr Rgb Silver{192, 192, 192};
}  // namespace Colours
