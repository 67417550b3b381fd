// The lightest and the stiffest pin-jointed layouts of a ground structure, by linear
// programming: the member forces that carry every set of loads at the least sum of a L, each
// member's area a bounding its |N| in every set. Its areas follow a: at a stress s the volume is
// that sum over s; at a volume V the stiffest layout's compliance follows from it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

struct ModelFile;

struct PinJointedLayout {
  std::vector<double> force;  // per element, N: the largest |N| of a design member over the sets; 0 for non-design
  double load_path = 0;       // sum over the design members of that force times the length, N mm
  double peak = 0;            // the least largest force among all layouts of that load path, N (when asked for)
  int members = 0;            // design members that carry force
};

// One set of loads the layout carries: the load case (0-based) whose supports it stands on, and
// per node its loads (N, N mm; those at the supports' fixed directions are reactions).
struct PinJointedLoads {
  std::string name;  // in messages: "load case 2", "combination ULS1"
  size_t supports = 0;
  std::vector<std::array<double, 6>> loads;
};

struct PinJointedOptions {
  // A second program finds, among the layouts of least load path, the one whose largest force is least.
  bool least_peak = false;
  // The most processor time the program may take (0: no limit); past it there is no layout, and
  // the problem says so.
  double seconds = 0;
};

// The layout, or why there is none.
struct PinJointedOutcome {
  std::optional<PinJointedLayout> layout;
  std::string problem;  // "" with a layout
};

// Design elements are the members (cost a L); non-design elements carry any force at no cost;
// fixed translations are the supports, springs are not (they cost compliance, not volume).
// Every loaded set must be in equilibrium at every free translation; sets without a load take no
// part. None, saying why, when no set is loaded, a member has no length, a set puts a moment on
// a free rotation or a load where no member reaches, or the members are a mechanism under a set.
PinJointedOutcome pin_jointed_layout(const ModelFile& model, const std::vector<PinJointedLoads>& sets,
                                     const PinJointedOptions& options = {});
// Every load case of the model as it stands, with the least peak; nothing when there is no layout.
std::optional<PinJointedLayout> pin_jointed_layout(const ModelFile& model);

// The least compliance of a pin-jointed layout at volume V (mm3), modulus E (N/mm2), with no
// bound on the areas: (sum |N| L)^2 / (E V), N mm. Its members have the area |N| V / (sum |N| L).
double pin_jointed_compliance(double load_path, double E, double volume);
