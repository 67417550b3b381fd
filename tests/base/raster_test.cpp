// Lines written straight into a pixel buffer: ends included, clipping, width and dots.
#include "base/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {
struct Image {
  int w = 20, h = 10;
  std::vector<uint32_t> px = std::vector<uint32_t>(size_t(w * h), 0);
  PixelBuffer buffer() { return {px.data(), w, h, w}; }
  uint32_t at(int x, int y) const { return px[size_t(y * w + x)]; }
  int count() const {
    int n = 0;
    for (uint32_t p : px) n += p != 0;
    return n;
  }
};
}  // namespace

TEST(Raster, OnePixelLineIncludesBothEnds) {
  Image im;
  raster_line(im.buffer(), 2.7, 3.2, 9.1, 3.9, 7, 1, false);  // a point covers the pixel it falls in
  EXPECT_EQ(im.count(), 8);
  EXPECT_EQ(im.at(2, 3), 7u);
  EXPECT_EQ(im.at(9, 3), 7u);
  EXPECT_EQ(im.at(10, 3), 0u);
}

TEST(Raster, WideLineIsCentredAcrossItsDirection) {
  Image im;
  raster_line(im.buffer(), 3, 5, 12, 5, 1, 5, false);
  EXPECT_EQ(im.count(), 10 * 5);
  for (int y = 3; y <= 7; ++y) EXPECT_EQ(im.at(7, y), 1u) << y;
  EXPECT_EQ(im.at(7, 2), 0u);
  EXPECT_EQ(im.at(7, 8), 0u);
}

TEST(Raster, DottedLineSetsOnePixelInThree) {
  Image im;
  raster_line(im.buffer(), 0, 0, 8, 0, 1, 1, true);
  EXPECT_EQ(im.count(), 3);
  EXPECT_EQ(im.at(0, 0), 1u);
  EXPECT_EQ(im.at(3, 0), 1u);
  EXPECT_EQ(im.at(6, 0), 1u);
}

TEST(Raster, LinesAreClippedAndNeverWrittenOutside) {
  Image im;
  // Far beyond the buffer in every direction, a zoomed-in picture's lines.
  raster_line(im.buffer(), -1e12, 4, 1e12, 4, 1, 1, false);
  EXPECT_EQ(im.count(), 20);
  raster_line(im.buffer(), -50, -50, -10, 30, 2, 5, false);  // wholly outside
  raster_line(im.buffer(), 18, 0, 30, 0, 3, 5, false);       // a wide line on the border
  EXPECT_EQ(im.at(19, 0), 3u);
  EXPECT_EQ(im.at(19, 2), 3u);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  raster_line(im.buffer(), nan, 1, 5, 5, 4, 1, false);
  raster_line(im.buffer(), 1, 1, INFINITY, 5, 4, 1, false);
  for (uint32_t p : im.px) EXPECT_NE(p, 4u);
}
