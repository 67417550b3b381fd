// A window's settings kept in the working directory between sessions: the texts of its setting
// controls by control name, one "control,text" line each, so that a folder's steel grade and
// factors come back with it.
#pragma once

#include <string>
#include <utility>
#include <vector>

using WindowSettings = std::vector<std::pair<std::string, std::string>>;

// The settings of the post-processing window's member checks.
inline constexpr const char* post_settings_name = "post_settings.csv";

// The lines of the file, in order; none when nothing is there. A line without a comma, or with a
// control name that is not a plain name of letters and digits, is skipped: a file damaged by hand
// loses those settings and no more. A file that cannot be read at all (a folder, a pipe, a loop
// of links, one too large) is the reader's RunTimeError, for the caller to say.
WindowSettings read_window_settings(const std::string& path);
// Replaces the file whole and atomically ("Cannot write file" when it cannot).
void write_window_settings(const WindowSettings& settings, const std::string& path);
