// A window's settings file read back in order; a damaged file loses only its damaged lines.
#include <gtest/gtest.h>

#include "base/window_settings.h"
#include "support/test_support.h"

TEST(WindowSettings, RoundTripAndDamagedLinesSkipped) {
  test_support::WorkingDirectory dir;
  EXPECT_TRUE(read_window_settings(post_settings_name).empty());  // none kept yet
  const WindowSettings kept{{"Text41", "S355"}, {"Text7", "340"}, {"Check41", "1"}, {"Text10", "7,850"}};
  write_window_settings(kept, post_settings_name);
  EXPECT_EQ(read_window_settings(post_settings_name), kept);
  test_support::write_file(post_settings_name, "control,text\r\nText41,S460\r\nno comma\r\n../x,1\r\n,2\r\nText8,0.7\r\n");
  EXPECT_EQ(read_window_settings(post_settings_name), (WindowSettings{{"Text41", "S460"}, {"Text8", "0.7"}}));
}
