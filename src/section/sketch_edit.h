// Editing a section sketch: new points, picking the nearest point or line on the surface,
// making and deleting lines, and the dropping of unused points before the section is saved.
// Sketch coordinates W, H in mm; surface positions in twips.
#pragma once

#include <string>

#include "section/section_table.h"
#include "section/sketch_display.h"

// Adds point (W, H) (mm) to section s and returns its number. A 101st point is refused with
// the capacity error and the section stays as it was.
int add_section_point(SectionTable& table, int s, float w, float h);

// Number of the point of section s nearest to the surface position (x, y) (twips), measured
// to each point's mapped position; of equal distances the lower number wins. There is no pick
// radius. 0 when the section has no point.
int nearest_section_point(const SectionTable& table, int s, const SketchMap& map, double x, double y);

// Number of the line of section s nearest to (x, y) (twips). A line's distance is the least
// of its distances to the five points at 1/6 .. 5/6 of the way between its mapped ends (its
// ends themselves do not count); ties go to the lower number; no pick radius. 0 without lines.
int nearest_section_line(const SectionTable& table, int s, const SketchMap& map, double x, double y);

// Refuses a 201st line of section s with the capacity error. The editor asks at the first of
// the two picks that make a line, so that a refused line is not half made.
void check_room_for_line(const SectionTable& table, int s);
// Adds the line from point p1 to point p2 of section s with a wall thickness (mm) and returns
// its number; a 201st line is refused as above.
int add_section_line(SectionTable& table, int s, int p1, int p2, float thickness);

// Removes line l of section s: the later lines move down by one with their ends and
// thicknesses. Points stay.
void delete_section_line(SectionTable& table, int s, int l);

// Drops the points of section s that no line uses and renumbers the others in their old
// order, line ends following. Returns the new point count.
int drop_unused_points(SectionTable& table, int s);

// A number typed into a text box as a Single: "Type mismatch" naming `what` when it is not a
// number, "Overflow" beyond the Single range.
float single_from_text(const std::string& text, const std::string& what);
