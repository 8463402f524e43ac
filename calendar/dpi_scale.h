// Window geometry for displays of any resolution. The program's windows are
// laid out in pixels of a 96-dpi display; at another resolution every
// coordinate is scaled by dpi / 96 to the nearest pixel, an exact half going
// up. A rectangle scales its edges, not its size, so that controls that touch
// at 96 dpi still touch. At 96 dpi nothing moves by a pixel.
#pragma once

#include <cstdint>

inline constexpr int32_t StandardDpi = 96;

constexpr int32_t scaleToDpi(int32_t pixels, int32_t dpi) {
    if (dpi <= 0) return pixels;  // an unknown resolution counts as 96 dpi
    // floor(pixels * dpi / 96 + 1/2), in integers
    const int64_t n = 2 * int64_t{pixels} * dpi + StandardDpi;
    const int64_t d = 2 * StandardDpi;
    return static_cast<int32_t>(n >= 0 ? n / d : -((-n + d - 1) / d));
}

// A rectangle given by its 96-dpi position and size, at `dpi`.
struct ScaledRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

constexpr ScaledRect scaleRectToDpi(int32_t x, int32_t y, int32_t width, int32_t height, int32_t dpi) {
    const int32_t left = scaleToDpi(x, dpi);
    const int32_t top = scaleToDpi(y, dpi);
    return ScaledRect{left, top, scaleToDpi(x + width, dpi) - left, scaleToDpi(y + height, dpi) - top};
}
