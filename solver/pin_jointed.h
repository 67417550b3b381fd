// The stiffest pin-jointed layout of a ground structure under one load case, by linear
// programming: the member forces that carry the load at the least sum of |N| L. Its areas follow
// |N|, and its compliance is what the frames of the same volume are measured against.
#pragma once

#include <optional>
#include <vector>

struct ModelFile;

struct PinJointedLayout {
  std::vector<double> force;  // per element, N: |N| of a design member; 0 for non-design
  double load_path = 0;       // sum over the design members of |N| L, N mm
  double peak = 0;            // the least largest |N| among all layouts of that load path, N
};

// Design elements are the members (cost |N| L); non-design elements carry any force at no cost;
// fixed translations are the supports, springs are not (they cost compliance, not volume).
// Every loaded case must be in equilibrium at every free translation; several cases share one
// area per member (a >= |N_c|). Nothing when the members alone cannot carry the loads.
std::optional<PinJointedLayout> pin_jointed_layout(const ModelFile& model);

// The least compliance of a pin-jointed layout at volume V (mm3), modulus E (N/mm2), with no
// bound on the areas: (sum |N| L)^2 / (E V), N mm. Its members have the area |N| V / (sum |N| L).
double pin_jointed_compliance(double load_path, double E, double volume);
