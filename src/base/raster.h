// Straight lines written directly into a 32-bit pixel buffer: the window's picture is mostly
// thousands of short lines, and a general painter spends more on each call than on the pixels.
// Coordinates are pixels (x to the right, y downwards); a point covers the pixel it falls in.
#pragma once

#include <cstdint>

struct PixelBuffer {
  uint32_t* pixels;  // row-major, `stride` pixels from one row to the next
  int width, height, stride;
};

// A line from (x1, y1) to (x2, y2), both ends included, clipped to the buffer. A line wider
// than one pixel is that many one-pixel lines side by side, centred on it; a dotted line sets
// one pixel and leaves two along its length.
void raster_line(const PixelBuffer& buffer, double x1, double y1, double x2, double y2, uint32_t colour, int width,
                 bool dotted);
