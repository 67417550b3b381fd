// Members of buyable sizes: a list of round tubes and solid rods (sections.csv in the working
// directory, made with a default list when it is absent), and the sizing of every design member
// of a frame to the lightest of them that has at least its optimised area and passes the checks,
// repeated with the forces of the sized frame until no member changes.
#pragma once

#include <string>
#include <vector>

#include "evaluate/member_checks.h"
#include "formats/fields.h"

inline constexpr const char* section_list_name = "sections.csv";

struct StandardSection {
  std::string name;
  double outer = 0;  // mm
  double wall = 0;   // mm, 0 for a solid rod
  std::string product;  // "hot" (hot-finished), "cold" (cold-formed), or "" as "Cold-formed tubes" sets
  bool operator==(const StandardSection&) const = default;
};

// The default list: round bars of EN 10060, hot-finished circular hollow sections of EN 10210-2
// and thin-walled cold-formed ones of EN 10219-2 (named CFCHS), in mm.
std::vector<StandardSection> default_sections();

// A section of the list as a member's section: a tube (a rod without a wall) with its product.
MemberSection standard_member(const StandardSection& s);

// The sizes a list may hold, mm: from a wire to the largest tube a frame is built of.
inline constexpr double min_section_size = 0.1;
inline constexpr double max_section_size = 10000;

// Reads the list: a line "name,outer diameter,wall thickness[,product]" per section (lines ended
// by CR LF, LF or CR alone; product hot, cold or empty), blank lines and a first line beginning
// with "name" skipped. A line of other fields, a product of another word, a diameter outside
// min_section_size..max_section_size, or a wall that is neither 0 nor in that range up to half
// the diameter is a RunTimeError naming the file and line. Nothing at the path: the default list
// is written there first, and when it cannot be written (a read-only folder) it is used all the
// same, `unsaved` saying why.
struct SectionList {
  std::vector<StandardSection> sections;
  FileStamp source;     // the file as read; no path for the default list unsaved
  std::string unsaved;  // "Cannot write file (sections.csv: ...)", or ""
};
SectionList load_section_list(const std::string& path = section_list_name);
// The sections alone.
std::vector<StandardSection> read_section_list(const std::string& path = section_list_name);
void write_section_list(const std::vector<StandardSection>& list, const std::string& path = section_list_name);

// How the members are sized. `section_types` 0: as many different sections as the members
// need; n > 0: at most n, chosen to make the frame lightest. `smallest`: a name from the list; no
// member gets a section of less area ("" for none). `only_grow`: a member's section never falls
// from round to round (lighter sections are not tried again once left). `rounds`: the most
// analyses made. `keep_areas`: no member gets less than its optimised area (else its section
// follows its forces alone, whatever the optimiser's scale). `growth_rounds`: the most analyses
// made growing members for the deflection limit.
inline constexpr int max_sizing_rounds = 10;
inline constexpr int max_growth_rounds = 20;
struct SizingOptions {
  int section_types = 0;
  std::string smallest;
  bool only_grow = false;
  int rounds = max_sizing_rounds;
  bool keep_areas = false;
  int growth_rounds = max_growth_rounds;
  bool operator==(const SizingOptions&) const = default;
};

struct Sizing {
  std::vector<int> choice;   // per member: index (0-based) into the list, -1 for a member that is not a design beam
  int rounds = 0;            // analyses made
  bool settled = false;      // no member changed in the last round
  bool cycled = false;       // the choices came back to a set already tried
  int kept_set = 0;          // the set kept, by the round that tried it (0-based: the first round's is 0):
                             // the last when settled, else the lightest whose members all passed under
                             // its own forces
  int too_small = 0;         // members of the set kept for which even the largest section fails
  std::vector<int> failing;  // members (0-based) of the set kept that fail their checks under its forces
  // With a deflection limit, the members grown for it after the sizing for strength:
  bool for_deflection = false;  // a limit was set and the sizing grew for it
  double deflection_ratio = 0;  // the largest displacement of the frame as sized over the limit
  int grown = 0;                // members given a larger section than strength alone needs
  double grown_volume = 0;      // mm3 that added
  int growth_rounds = 0;        // analyses made growing
  bool stuck = false;           // no larger section that passes reduced the deflection further
  bool deflection_met() const { return deflection_ratio <= 1; }
};

// Sizes the design beams of f (whose circles are the optimised diameters) and replaces their
// sections in f by the chosen tubes; `forces` becomes the analysis of the sized frame under the
// loading (its own weight, with the self-weight on, that of the sections chosen). Members are
// sized for the states checked for strength. Each round gives every member the lightest section
// (with at least its optimised area, with keep_areas) that passes under the forces of the sizes before, every
// element of a chain (one member through nodes in line) one section, and re-analyses, until no
// member changes. When the choices repeat, or after the rounds allowed, the lightest set tried
// whose members all pass is kept (the lightest of all when none does).
// With a deflection limit (> 0) the set kept then grows while the frame deflects past it in a
// state checked for deflection: each round gives the members that reduce its largest
// displacement most per kilogram (deflection_growth) larger sections that pass, enough of them
// that the fall expected covers the excess (the margin learnt from the round before), and
// re-analyses; with a limit on section types the grown set is regrouped within it. It stops
// when the frame is within the limit, when no larger section that passes reduces the
// deflection, or after the growth rounds allowed; then the frame is judged again and a member
// that fails under the new forces grows to the lightest section it passes in, and so on.
// A smallest section not in the list, a negative number of section types or no round allowed is
// a RunTimeError.
Sizing size_members(ShownFrame& f, FrameForces& forces, const std::vector<StandardSection>& list,
                    const CheckSettings& checks, const Loading& loading = {}, const SizingOptions& options = {});

// At most n (>= 1) different sections for a set of items, lightest in all: `fits[i][pos]` says
// whether item i may take the section at position pos (in order of growing area, `area[pos]` mm2),
// `weight` its length (mm) or any weight. An item that fits no section counts as fitting the
// largest. Items are grouped in order of their lightest fit, each group given the lightest section
// all its items fit from the group's largest need up; of the groupings, those that give fewest
// items a section they do not fit come first, the lightest of them wins (exact when each item fits
// every section from its lightest up). Returns, per item, the position of the section given.
std::vector<int> fewest_sections(const std::vector<std::vector<char>>& fits, const std::vector<double>& weight,
                                 const std::vector<double>& area, int n);

// Mass of a frame's members, kg, at `density` kg/m3.
double frame_mass(const ShownFrame& f, double density);
