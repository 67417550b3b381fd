// The drawing surface: current position, attributes, and the JSON record the scenario runner prints.
#include <gtest/gtest.h>

#include "base/recording_canvas.h"
#include "formats/errors.h"

TEST(Canvas, PositionFollowsLinesAndTextGoesToTheNextLine) {
  RecordingCanvas c;
  c.line(10, 20, 300, 400, 4);
  EXPECT_EQ(c.state().x, 300);
  EXPECT_EQ(c.state().y, 400);
  c.text("L");
  ASSERT_EQ(c.primitives().size(), 2u);
  EXPECT_EQ(c.primitives()[1].x1, 300);  // printed where the line ended
  EXPECT_EQ(c.state().x, 0);
  EXPECT_GT(c.state().y, 400);
  c.clear();
  EXPECT_TRUE(c.primitives().empty());
  EXPECT_EQ(c.clears(), 1);
  EXPECT_EQ(c.state().x, 0);
  EXPECT_EQ(c.state().y, 0);
}

TEST(Canvas, RecordsAttributesAsJsonLines) {
  RecordingCanvas c;
  c.set_line_width(3);
  c.set_line_style(LineStyle::dash_dot_dot);
  c.set_fill_style(FillStyle::solid);
  c.set_fill_colour(4);
  c.circle(100, 200, 80, 4);
  c.set_text_colour(4);
  c.set_font_size(7);
  c.move_to(5, 6);
  c.text(" (1.00,2.00,3.00)");
  EXPECT_EQ(c.to_json_lines(),
            "{\"op\":\"clear\"}\n"
            "{\"op\":\"circle\",\"x\":100,\"y\":200,\"r\":80,\"fill_style\":\"solid\",\"fill_colour\":4,"
            "\"colour\":4,\"width\":3,\"style\":\"dash-dot-dot\"}\n"
            "{\"op\":\"text\",\"x\":5,\"y\":6,\"text\":\" (1.00,2.00,3.00)\",\"font_size\":7,\"text_colour\":4}\n");
}

TEST(Canvas, PaletteHasSixteenColours) {
  EXPECT_EQ(palette_rgb(15).b, 255);
  EXPECT_THROW(palette_rgb(16), RunTimeError);
}
