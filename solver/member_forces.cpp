// Member resultants from the element stiffness, the displacements and the fixed-end forces of the
// member loads; the reactions as what the nodes' equilibrium leaves for the supports and springs.
#include "member_forces.h"

#include <algorithm>
#include <cmath>

#include <Eigen/Eigenvalues>

#include "base/analysis_model.h"

namespace {

using Vector12 = Eigen::Matrix<double, 12, 1>;
using Polynomial = std::vector<double>;  // coefficients from the constant up

Polynomial operator*(const Polynomial& a, const Polynomial& b) {
  Polynomial p(a.size() + b.size() - 1, 0.0);
  for (size_t i = 0; i < a.size(); ++i)
    for (size_t j = 0; j < b.size(); ++j) p[i + j] += a[i] * b[j];
  return p;
}

Polynomial operator+(Polynomial a, const Polynomial& b) {
  if (a.size() < b.size()) a.resize(b.size(), 0.0);
  for (size_t i = 0; i < b.size(); ++i) a[i] += b[i];
  return a;
}

Polynomial derivative(const Polynomial& p) {
  Polynomial d(std::max<size_t>(p.size(), 2) - 1, 0.0);
  for (size_t i = 1; i < p.size(); ++i) d[i - 1] = static_cast<double>(i) * p[i];
  return d;
}

// The real roots of p between 0 and 1, ends left out, from the eigenvalues of its companion matrix.
// A root a little off the real axis (a double root split by rounding) counts: a candidate too
// many costs one evaluation, one too few a missed extreme.
std::vector<double> roots_inside(Polynomial p) {
  double scale = 0;
  for (double v : p) scale = std::max(scale, std::fabs(v));
  while (!p.empty() && !(std::fabs(p.back()) > 1e-12 * scale)) p.pop_back();
  std::vector<double> roots;
  if (p.size() < 2) return roots;
  const int n = static_cast<int>(p.size()) - 1;
  Eigen::MatrixXd companion = Eigen::MatrixXd::Zero(n, n);
  for (int i = 0; i < n; ++i) {
    companion(0, i) = -p[static_cast<size_t>(n - 1 - i)] / p.back();
    if (i > 0) companion(i, i - 1) = 1;
  }
  const Eigen::VectorXcd eigen = Eigen::EigenSolver<Eigen::MatrixXd>(companion, false).eigenvalues();
  for (const auto& z : eigen)
    if (std::fabs(z.imag()) < 1e-4 && z.real() > 1e-9 && z.real() < 1 - 1e-9) roots.push_back(z.real());
  std::sort(roots.begin(), roots.end());
  return roots;
}

Eigen::Vector3d local_load(const Eigen::Matrix3d& axes, const std::vector<MemberLoad>& w, size_t j) {
  return j < w.size() ? Eigen::Vector3d(axes * Eigen::Vector3d(w[j].data())) : Eigen::Vector3d::Zero();
}

// Adds the forces and moments of 12 end values in an element's axes to its two nodes, globally.
void add_to_nodes(std::vector<std::array<double, 6>>& nodes, const Eigen::Matrix3d& axes, int node1, int node2,
                  const Vector12& f, double factor) {
  for (int end = 0; end < 2; ++end) {
    auto& at = nodes[static_cast<size_t>(end == 0 ? node1 : node2)];
    const Eigen::Vector3d force = axes.transpose() * f.segment<3>(6 * end);
    const Eigen::Vector3d moment = axes.transpose() * f.segment<3>(6 * end + 3);
    for (int k = 0; k < 3; ++k) {
      at[static_cast<size_t>(k)] += factor * force[k];
      at[static_cast<size_t>(k + 3)] += factor * moment[k];
    }
  }
}

bool unloaded(const std::array<double, 3>& q) { return q[0] == 0 && q[1] == 0 && q[2] == 0; }

}  // namespace

// Each end takes half the load; the end moments are q L^2 / 12, bending about z turning with +rz
// and about y with -ry (frame.cpp).
Vector12 fixed_end_forces(const Eigen::Vector3d& q, double L) {
  Vector12 f = Vector12::Zero();
  const double m = L * L / 12;
  for (int end = 0; end < 2; ++end) {
    f.segment<3>(6 * end) = -q * L / 2;
    const double sign = end == 0 ? 1 : -1;
    f[6 * end + 4] = sign * q[2] * m;
    f[6 * end + 5] = -sign * q[1] * m;
  }
  return f;
}

double MemberForces::compression() const { return std::max({-end1[0], -end2[0], 0.0}); }
double MemberForces::tension() const { return std::max({end1[0], end2[0], 0.0}); }

EndForces MemberForces::at(double x) const {
  if (x <= 0) return end1;
  if (x >= length) return end2;
  // The part from node 1 to x in equilibrium under end1 (reversed), the load on it and the cut.
  const double half_x2 = x * x / 2;
  return {end1[0] - load[0] * x,
          end1[1] - load[1] * x,
          end1[2] - load[2] * x,
          end1[3],
          end1[4] + end1[2] * x - load[2] * half_x2,
          end1[5] - end1[1] * x + load[1] * half_x2};
}

std::vector<MemberForces::Station> MemberForces::peak_sections(double lever) const {
  std::vector<Station> out{{0, 1, end1}, {length, 2, end2}};
  if (unloaded(load) || !(length > 0)) return out;
  // In t = x / length: My, Mz and N as polynomials, and the stationary points of |M| + lever |N|:
  // M.M' = -lever sign(N) N' |M|, squared.
  const double L = length;
  const Polynomial my{end1[4], end1[2] * L, -load[2] * L * L / 2}, mz{end1[5], -end1[1] * L, load[1] * L * L / 2};
  const Polynomial m_dm = my * derivative(my) + mz * derivative(mz);
  const double dn = std::isfinite(lever) ? -load[0] * L * lever : 0;
  const Polynomial stationary = dn == 0 ? m_dm : m_dm * m_dm + Polynomial{-dn * dn} * (my * my + mz * mz);
  for (double t : roots_inside(stationary)) out.push_back({t * L, 0, at(t * L)});
  return out;
}

double MemberForces::largest_moment() const {
  double largest = 0;
  for (const Station& s : peak_sections()) largest = std::max(largest, std::hypot(s.forces[4], s.forces[5]));
  return largest;
}

double MemberForces::vertex(double g0, double g_mid, double g1) const {
  if (unloaded(load) || !(length > 0)) return -1;
  // g(t) = g0 + b t + c t^2 through t = 0, 1/2, 1.
  const double b = -3 * g0 + 4 * g_mid - g1, c = 2 * (g0 - 2 * g_mid + g1);
  if (c == 0) return -1;
  const double t = -b / (2 * c);
  return t > 0 && t < 1 ? t * length : -1;
}

MemberForces& MemberForces::add(const MemberForces& other, double factor) {
  for (size_t k = 0; k < 6; ++k) {
    end1[k] += factor * other.end1[k];
    end2[k] += factor * other.end2[k];
  }
  for (size_t k = 0; k < 3; ++k) load[k] += factor * other.load[k];
  if (length == 0) length = other.length;
  return *this;
}

std::vector<std::array<double, 6>> equivalent_nodal_loads(const ModelFile& model, const std::vector<MemberLoad>& w) {
  std::vector<std::array<double, 6>> out(model.nodes.size(), std::array<double, 6>{});
  for (size_t j = 0; j < model.elements.size() && j < w.size(); ++j) {
    if (unloaded(w[j])) continue;
    const ModelFileElement& e = model.elements[j];
    const Eigen::Vector3d p1(model.nodes[static_cast<size_t>(e.node1 - 1)].data());
    const Eigen::Vector3d p2(model.nodes[static_cast<size_t>(e.node2 - 1)].data());
    const double length = (p2 - p1).norm();
    const Eigen::Matrix3d axes = element_axes(model, j);
    add_to_nodes(out, axes, e.node1 - 1, e.node2 - 1, fixed_end_forces(local_load(axes, w, j), length), -1);
  }
  return out;
}

CaseForces case_forces(const FrameAnalysis& a, const ModelFile& model, const std::vector<Section>& sections, int c,
                       const std::vector<MemberLoad>& w) {
  const auto& elements = a.elements();
  const size_t n_node = static_cast<size_t>(a.node_count());
  CaseForces out;
  out.members.resize(elements.size());
  std::vector<std::array<double, 6>> at_nodes(n_node, std::array<double, 6>{});  // sum of the ends' pull on the nodes
  std::vector<std::array<double, 6>> equivalent(n_node, std::array<double, 6>{});  // of the member loads
  for (size_t j = 0; j < elements.size(); ++j) {
    const FrameElement& e = elements[j];
    const Eigen::Vector3d q = local_load(e.axes, w, j);
    const Vector12 fixed = fixed_end_forces(q, e.length);
    // f = k u + the fixed-end forces: what the nodes exert on the element's ends, in its axes.
    const Vector12 f =
        local_stiffness(e.E, e.G, sections[j], e.length) * a.local_displacements(c, static_cast<int>(j)) + fixed;
    MemberForces& m = out.members[j];
    for (int k = 0; k < 6; ++k) {
      m.end1[static_cast<size_t>(k)] = -f[k];  // the section at node 1 faces -x: its resultants are -f
      m.end2[static_cast<size_t>(k)] = f[6 + k];
    }
    m.load = {q[0], q[1], q[2]};
    m.length = e.length;
    add_to_nodes(at_nodes, e.axes, e.node1, e.node2, f, 1);
    add_to_nodes(equivalent, e.axes, e.node1, e.node2, fixed, -1);
  }
  // Node i in equilibrium: its own load + reaction = sum of what the element ends take from it,
  // its own load being the model's less the equivalents of the member loads.
  const ModelFileCase& in = model.cases[static_cast<size_t>(c)];
  out.reactions.assign(n_node, std::array<double, 6>{});
  out.unbalance.assign(n_node, std::array<double, 6>{});
  for (size_t i = 0; i < n_node; ++i)
    for (size_t k = 0; k < 6; ++k) {
      const double left = at_nodes[i][k] - (in.loads[i][k] - equivalent[i][k]);
      double& reaction = out.reactions[i][k];
      if (in.fixed[i][k])
        reaction = left;
      else if (in.springs[i][k] > 0)
        reaction = -in.springs[i][k] * a.displacement(c, static_cast<int>(i), static_cast<int>(k));
      out.unbalance[i][k] = left - reaction;
    }
  return out;
}
