// How the post-processing picture shows what the members carry: each member's colour on the
// axial-force scale (tension red, compression blue) or the utilisation scale (green through
// yellow to red at 1, dark red above), the legend of the scale, and the deformed frame magnified
// so that its largest displacement is a tenth of the frame's size.
#pragma once

#include <vector>

class JsonWriter;

#include "evaluate/member_checks.h"
#include "post/result_display.h"

enum class ColourBy { diameter, axial, utilisation };

struct ForceView {
  ColourBy by = ColourBy::diameter;
  int state = envelope_state;  // 0-based, or envelope_state
  bool deformed = false;
};

// The colour of axial force N on the scale of the largest |N| (N); of a utilisation.
int axial_colour(double axial, double largest);
int utilisation_colour(double utilisation);

// The axial force a view shows for member j: the state's, or for the envelope the state's value
// of the largest size.
double shown_axial(const FrameChecks& checks, int state, size_t j);
// The utilisation a view shows for member j: the state's, or the envelope's.
double shown_utilisation(const FrameChecks& checks, int state, size_t j);

// The magnification of the deformed frame: a tenth of `size` (mm) over the largest translation
// of the state (over every state for the envelope); 0 when nothing moves.
double deformation_factor(const FrameForces& forces, int state, double size);

// Fills the picture's element colours, legend, diameters and deformed nodes for the view.
// `counted` flags the members whose forces set the scale (those drawn as beams); elements that
// are not members of the frame (removed by a clean-up) are not drawn, and tubes are drawn with
// their outer diameter. Without forces (a frame that cannot stand) only that is done. Returns
// the magnification used (0 without a deformed frame). Elements and nodes of the picture are
// numbered as in the result (1-based).
double apply_force_view(ResultPicture& p, const ForceView& v, const ShownFrame& f, const FrameForces* forces,
                        const FrameChecks* checks, const std::vector<char>& counted, int n_elem, double size);

// The members of a frame drawn as beams in cycle c at the threshold (a fraction of pd_max).
std::vector<char> members_shown(const ShownFrame& f, const ResultStore& r, int c, float threshold);

// Which frame a view shows: the optimised design of the cycle, its clean frame, or the clean
// frame in standard sizes.
enum class FrameKind { optimised, clean, sized };

// "At threshold 1, 13 of 242 members are drawn as beams; the checks count these." for cycle c
// (1..pn_cyc) of r; "" without cycles.
std::string drawn_members_text(const ResultStore& r, int c, float threshold);
// "the clean frame", "the sized frame", or "the optimised design at threshold 0.3 (229 members
// hidden as thin: "Clean Up" gives the frame to build)" for the flags of the members drawn.
std::string frame_name(FrameKind kind, const std::vector<char>& drawn, float threshold);

// The window's dump of an analysed frame: `forces`, per state one entry per element 1..n_elem
// [axial force (tension positive), largest bending moment, largest normal stress, utilisation]
// (null for an element not in the frame); `utilisation_max` {value, element, case, check} over
// the members drawn as beams; `displacement_max` per state {node, value}; `design_checks`, per
// element {chain, l_cr, class, lambda_bar, chi, utilisation, check, case} of its governing state
// (class null for a drawn section, lambda_bar and chi null for a bar checked without flexural
// buckling, whose section has no lines; the entry null for an element not in the frame). "case"
// numbers the states from 1.
void write_force_json(JsonWriter& j, const ShownFrame& f, const FrameForces& forces, const FrameChecks& checks,
                      const std::vector<char>& counted, int n_elem);
// `deflection`: per state whose deflection is checked {node (1-based; 0 when nothing moves),
// value (mm), ratio (to the limit; null without one)}, from the deflections of every state.
void write_deflection_json(JsonWriter& j, const FrameForces& forces, const std::vector<Deflection>& deflected, double limit);
