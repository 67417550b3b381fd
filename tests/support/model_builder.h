// A model file built in memory for the engine's tests, numbered from 1 as in the file.
#pragma once

#include <array>
#include <vector>

#include "base/analysis_model.h"
#include "bench/models.h"

namespace test_support {

inline constexpr double E = 200000, G = 80000;  // N/mm2

struct Model {
  ModelFile f;

  int node(double l, double w, double h) {
    f.nodes.push_back({l, w, h});
    return f.n_node = static_cast<int>(f.nodes.size());
  }
  int non_design(double A, double Iw, double Ih, double J) {
    f.props.push_back({E, G, A, Iw, Ih, J, 0});
    return f.n_prop = static_cast<int>(f.props.size());
  }
  int design() {
    f.props.push_back({-E, G, 0, 0, 0, 0, 0});
    return f.n_prop = static_cast<int>(f.props.size());
  }
  // ref: the W direction of a non-design element, the reference point of a design element.
  int element(int n1, int n2, int prop, std::array<double, 3> ref = {0, 1, 0}) {
    if (f.props[static_cast<size_t>(prop - 1)][0] < 0)
      for (int a = 0; a < 3; ++a) ref[static_cast<size_t>(a)] += f.nodes[static_cast<size_t>(n1 - 1)][static_cast<size_t>(a)];
    f.elements.push_back({n1, n2, prop, ref});
    return f.n_elem = static_cast<int>(f.elements.size());
  }
  ModelFileCase& add_case() {
    f.cases.push_back(bench::empty_case(f.n_node));
    return f.cases.back();
  }
  static void clamp(ModelFileCase& c, int node) { c.fixed[static_cast<size_t>(node - 1)].fill(true); }
  static void load(ModelFileCase& c, int node, int dof, double value) {
    c.loads[static_cast<size_t>(node - 1)][static_cast<size_t>(dof - 1)] = value;
  }
  static void spring(ModelFileCase& c, int node, int dof, double k) {
    c.springs[static_cast<size_t>(node - 1)][static_cast<size_t>(dof - 1)] = k;
  }
};

// Two struts of 1000 mm from pinned supports at (-+866, 0, 0) to the apex (0, 0, 500), 30
// degrees to the horizontal, `load` N down at the apex; one support also stops the turn about
// the line between them. Design beams.
inline Model two_struts(double load) {
  Model m;
  const double half = 1000 * 0.86602540378443864676;  // cos 30
  const int a = m.node(-half, 0, 0), b = m.node(half, 0, 0), top = m.node(0, 0, 500);
  const int set = m.design();
  m.element(a, top, set);
  m.element(b, top, set);
  ModelFileCase& c = m.add_case();
  for (int node : {a, b})
    for (size_t dof = 0; dof < 3; ++dof) c.fixed[static_cast<size_t>(node - 1)][dof] = true;
  c.fixed[static_cast<size_t>(a - 1)][3] = true;
  Model::load(c, top, 3, -load);
  return m;
}

}  // namespace test_support
