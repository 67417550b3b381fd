// Members of buyable sizes: a list of round tubes and solid rods (sections.csv in the working
// directory, made with a default list when it is absent), and the sizing of every design member
// of a frame to the lightest of them that has at least its optimised area and passes the checks,
// repeated with the forces of the sized frame until no member changes.
#pragma once

#include <string>
#include <vector>

#include "evaluate/member_checks.h"

inline constexpr const char* section_list_name = "sections.csv";

struct StandardSection {
  std::string name;
  double outer = 0;  // mm
  double wall = 0;   // mm, 0 for a solid rod
};

// The default list: hot-finished circular hollow sections of EN 10210-2 and round bars of
// EN 10060, in mm.
std::vector<StandardSection> default_sections();

// Reads the list: a line "name,outer diameter,wall thickness" per section, blank lines and a
// first line beginning with "name" skipped. A line of other fields, a diameter that is not
// positive, or a wall that is negative or more than half the diameter is a RunTimeError naming
// the file and line. A missing file is written with the default list first.
std::vector<StandardSection> read_section_list(const std::string& path = section_list_name);
void write_section_list(const std::vector<StandardSection>& list, const std::string& path = section_list_name);

struct Sizing {
  std::vector<int> choice;   // per member: index into the list, -1 for a member that is not a design beam
  int rounds = 0;            // analyses made
  bool settled = false;      // no member changed in the last round (else the round limit ended it)
  int too_small = 0;         // members for which even the largest section fails
};
inline constexpr int max_sizing_rounds = 10;

// Sizes the design beams of f (whose circles are the optimised diameters) and replaces their
// sections in f by the chosen tubes; `forces` becomes the analysis of the sized frame under the
// loading (its own weight, with the self-weight on, that of the sections chosen). Members are
// sized for the states checked for strength. Sections
// only grow from round to round, so the sizing ends.
Sizing size_members(ShownFrame& f, FrameForces& forces, const std::vector<StandardSection>& list,
                    const CheckSettings& checks, const Loading& loading = {});

// Mass of a frame's members, kg, at `density` kg/m3.
double frame_mass(const ShownFrame& f, double density);
