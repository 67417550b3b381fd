// The least-volume pin-jointed layout of a ground structure by linear programming (COIN-OR CLP):
//
//   minimise   sum over design members e of L_e a_e
//   subject to B N_c = f_c            (equilibrium of every free translation, each loaded case c)
//              -a_e <= N_c,e <= a_e   (design members; non-design members are free and cost nothing)
//
// B holds the members' direction cosines: a tension N in the member from node 1 to node 2 pulls
// node 1 along +t and node 2 along -t, so B N = f balances the applied load f. The optimum is
// seldom unique; a second program finds, among the optimal layouts, the one whose largest member
// force is least: the thinnest largest member any layout of least volume needs.
#include "solver/pin_jointed.h"

#include <array>
#include <cmath>
#include <limits>

#include <coin/ClpSimplex.hpp>
#include <coin/CoinPackedMatrix.hpp>

#include "base/analysis_model.h"

double pin_jointed_compliance(double load_path, double E, double volume) { return load_path * load_path / (E * volume); }

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

bool loaded(const ModelFileCase& c) {
  for (size_t i = 0; i < c.loads.size(); ++i)
    for (size_t k = 0; k < 6; ++k)
      if (c.loads[i][k] != 0 && !c.fixed[i][k]) return true;
  return false;
}

// Columns, rows and bounds of the linear program, gathered as triplets.
struct Program {
  std::vector<int> rows, cols;
  std::vector<double> values, col_low, col_high, cost, row_low, row_high;
  int column(double low, double high, double c) {
    col_low.push_back(low);
    col_high.push_back(high);
    cost.push_back(c);
    return static_cast<int>(cost.size()) - 1;
  }
  int row(double low, double high) {
    row_low.push_back(low);
    row_high.push_back(high);
    return static_cast<int>(row_low.size()) - 1;
  }
  void entry(int r, int c, double v) {
    rows.push_back(r);
    cols.push_back(c);
    values.push_back(v);
  }
};

// The members: which are designed, their lengths and unit directions. Nothing when one has no length.
struct Members {
  std::vector<bool> design;
  std::vector<double> length;
  std::vector<std::array<double, 3>> direction;
};

std::optional<Members> members_of(const ModelFile& model) {
  const size_t n_elem = model.elements.size();
  Members m{std::vector<bool>(n_elem), std::vector<double>(n_elem), std::vector<std::array<double, 3>>(n_elem)};
  for (size_t j = 0; j < n_elem; ++j) {
    const ModelFileElement& e = model.elements[j];
    m.design[j] = model.props[static_cast<size_t>(e.prop - 1)][0] < 0;
    const auto& p1 = model.nodes[static_cast<size_t>(e.node1 - 1)];
    const auto& p2 = model.nodes[static_cast<size_t>(e.node2 - 1)];
    for (size_t k = 0; k < 3; ++k) m.direction[j][k] = p2[k] - p1[k];
    m.length[j] = std::hypot(m.direction[j][0], m.direction[j][1], m.direction[j][2]);
    if (!(m.length[j] > 0)) return std::nullopt;
    for (double& t : m.direction[j]) t /= m.length[j];
  }
  return m;
}

// One loaded case: a force column per member, |N| <= a for the design members, and one
// equilibrium row per free translation that a member reaches. False when the case cannot be
// carried by members: a moment, or a loaded translation no member reaches.
bool add_case(Program& lp, const ModelFile& model, const ModelFileCase& c, const Members& m,
              const std::vector<int>& area) {
  for (size_t i = 0; i < c.loads.size(); ++i)
    for (size_t k = 3; k < 6; ++k)
      if (c.loads[i][k] != 0 && !c.fixed[i][k]) return false;
  const size_t n_elem = m.design.size();
  std::vector<int> N(n_elem);
  for (size_t j = 0; j < n_elem; ++j) {
    N[j] = lp.column(-inf, inf, 0);
    if (!m.design[j]) continue;
    for (const double sign : {1.0, -1.0}) {  // +-N - a <= 0
      const int r = lp.row(-inf, 0);
      lp.entry(r, N[j], sign);
      lp.entry(r, area[j], -1);
    }
  }
  std::vector<int> row_of(3 * c.loads.size(), -1);
  auto row_at = [&](size_t node, size_t k) {
    int& r = row_of[3 * node + k];
    if (r < 0) r = lp.row(c.loads[node][k], c.loads[node][k]);
    return r;
  };
  for (size_t j = 0; j < n_elem; ++j) {
    const auto n1 = static_cast<size_t>(model.elements[j].node1 - 1), n2 = static_cast<size_t>(model.elements[j].node2 - 1);
    for (size_t k = 0; k < 3; ++k) {
      if (m.direction[j][k] == 0) continue;
      if (!c.fixed[n1][k]) lp.entry(row_at(n1, k), N[j], m.direction[j][k]);
      if (!c.fixed[n2][k]) lp.entry(row_at(n2, k), N[j], -m.direction[j][k]);
    }
  }
  for (size_t i = 0; i < c.loads.size(); ++i)
    for (size_t k = 0; k < 3; ++k)
      if (c.loads[i][k] != 0 && !c.fixed[i][k] && row_of[3 * i + k] < 0) return false;
  return true;
}

// Among the layouts of (nearly) the least load path, the one with the least largest member
// force: a column for that force, a row a <= peak per member, a row bounding the load path.
// Returns the peak's column.
int bound_peak(ClpSimplex& simplex, const Members& m, const std::vector<int>& area, double least) {
  const int peak = simplex.numberColumns();
  simplex.addColumn(0, nullptr, nullptr, 0, inf, 1);
  std::vector<int> columns;
  std::vector<double> lengths;
  for (size_t j = 0; j < area.size(); ++j) {
    if (area[j] < 0) continue;
    simplex.setObjectiveCoefficient(area[j], 0);
    const int pair[2] = {area[j], peak};
    const double coefficients[2] = {1, -1};
    simplex.addRow(2, pair, coefficients, -inf, 0);
    columns.push_back(area[j]);
    lengths.push_back(m.length[j]);
  }
  simplex.addRow(static_cast<int>(columns.size()), columns.data(), lengths.data(), -inf, least * (1 + 1e-9));
  return peak;
}

}  // namespace

std::optional<PinJointedLayout> pin_jointed_layout(const ModelFile& model) {
  const std::optional<Members> m = members_of(model);
  if (!m) return std::nullopt;
  const size_t n_elem = m->design.size();
  Program lp;
  std::vector<int> area(n_elem, -1);
  for (size_t j = 0; j < n_elem; ++j)
    if (m->design[j]) area[j] = lp.column(0, inf, m->length[j]);
  bool any_loaded = false;
  for (const ModelFileCase& c : model.cases) {
    if (!loaded(c)) continue;
    if (!add_case(lp, model, c, *m, area)) return std::nullopt;
    any_loaded = true;
  }
  if (!any_loaded) return std::nullopt;

  CoinPackedMatrix matrix(true, lp.rows.data(), lp.cols.data(), lp.values.data(),
                          static_cast<CoinBigIndex>(lp.values.size()));
  matrix.setDimensions(static_cast<int>(lp.row_low.size()), static_cast<int>(lp.cost.size()));
  ClpSimplex simplex;
  simplex.setLogLevel(0);
  simplex.loadProblem(matrix, lp.col_low.data(), lp.col_high.data(), lp.cost.data(), lp.row_low.data(),
                      lp.row_high.data());
  simplex.dual();
  if (!simplex.isProvenOptimal()) return std::nullopt;
  const int peak = bound_peak(simplex, *m, area, simplex.objectiveValue());
  simplex.primal();
  if (!simplex.isProvenOptimal()) return std::nullopt;

  const double* solution = simplex.primalColumnSolution();
  PinJointedLayout out;
  out.peak = solution[peak];
  out.force.assign(n_elem, 0.0);
  for (size_t j = 0; j < n_elem; ++j) {
    if (!m->design[j]) continue;
    out.force[j] = std::max(solution[area[j]], 0.0);
    out.load_path += out.force[j] * m->length[j];
  }
  return out;
}
