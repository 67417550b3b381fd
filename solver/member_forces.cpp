// Member end forces from the element stiffness and the displacements, and the reactions as what
// the nodes' equilibrium leaves for the supports and springs.
#include "member_forces.h"

#include <algorithm>
#include <cmath>

#include "base/analysis_model.h"

double MemberForces::largest_moment() const {
  return std::max(std::hypot(end1[4], end1[5]), std::hypot(end2[4], end2[5]));
}

CaseForces case_forces(const FrameAnalysis& a, const ModelFile& model, const std::vector<Section>& sections, int c) {
  const auto& elements = a.elements();
  const size_t n_node = static_cast<size_t>(a.node_count());
  CaseForces out;
  out.members.resize(elements.size());
  std::vector<std::array<double, 6>> at_nodes(n_node, std::array<double, 6>{});  // sum of the ends' pull on the nodes
  for (size_t j = 0; j < elements.size(); ++j) {
    const FrameElement& e = elements[j];
    // f = k u: what the nodes exert on the element's ends, in its axes.
    const Eigen::Matrix<double, 12, 1> f =
        local_stiffness(e.E, e.G, sections[j], e.length) * a.local_displacements(c, static_cast<int>(j));
    MemberForces& m = out.members[j];
    for (int k = 0; k < 6; ++k) {
      m.end1[static_cast<size_t>(k)] = -f[k];  // the section at node 1 faces -x: its resultants are -f
      m.end2[static_cast<size_t>(k)] = f[6 + k];
    }
    for (int end = 0; end < 2; ++end) {
      const size_t node = static_cast<size_t>(end == 0 ? e.node1 : e.node2);
      const Eigen::Vector3d force = e.axes.transpose() * f.segment<3>(6 * end);
      const Eigen::Vector3d moment = e.axes.transpose() * f.segment<3>(6 * end + 3);
      for (int k = 0; k < 3; ++k) {
        at_nodes[node][static_cast<size_t>(k)] += force[k];
        at_nodes[node][static_cast<size_t>(k + 3)] += moment[k];
      }
    }
  }
  // Node i in equilibrium: load + reaction = sum of what the element ends take from it.
  const ModelFileCase& in = model.cases[static_cast<size_t>(c)];
  out.reactions.assign(n_node, std::array<double, 6>{});
  out.unbalance.assign(n_node, std::array<double, 6>{});
  for (size_t i = 0; i < n_node; ++i)
    for (size_t k = 0; k < 6; ++k) {
      const double left = at_nodes[i][k] - in.loads[i][k];
      double& reaction = out.reactions[i][k];
      if (in.fixed[i][k])
        reaction = left;
      else if (in.springs[i][k] > 0)
        reaction = -in.springs[i][k] * a.displacement(c, static_cast<int>(i), static_cast<int>(k));
      out.unbalance[i][k] = left - reaction;
    }
  return out;
}
