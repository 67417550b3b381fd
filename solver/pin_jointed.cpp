// The least-volume pin-jointed layout of a ground structure by linear programming (COIN-OR CLP):
//
//   minimise   sum over design members e of L_e a_e
//   subject to B_s N_s = f_s          (equilibrium of every free translation, each loaded set s)
//              -a_e <= N_s,e <= a_e   (design members; non-design members are free and cost nothing)
//
// with N_s,e = p - q, p + q <= a_e for a design member.
//
// B_s holds the members' direction cosines at the translations its supports leave free: a tension
// N in the member from node 1 to node 2 pulls node 1 along +t and node 2 along -t, so B N = f
// balances the applied load f. The optimum is seldom unique; a second program can find, among the
// optimal layouts, the one whose largest member force is least: the thinnest largest member any
// layout of least volume needs.
#include "solver/pin_jointed.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <coin/ClpSimplex.hpp>
#include <coin/CoinPackedMatrix.hpp>

#include "base/analysis_model.h"

double pin_jointed_compliance(double load_path, double E, double volume) { return load_path * load_path / (E * volume); }

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
// A member carries force when its area exceeds this share of the largest.
constexpr double carries = 1e-9;

std::string direction_text(size_t node, size_t dof) {
  static constexpr const char* names[6] = {"along L", "along W", "along H", "about L", "about W", "about H"};
  return "node " + std::to_string(node + 1) + " " + names[dof];
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

// The members: which are designed, their ends, lengths and unit directions, and per node and
// translation whether a member reaches it.
struct Members {
  std::vector<bool> design;
  std::vector<std::array<size_t, 2>> ends;
  std::vector<double> length;
  std::vector<std::array<double, 3>> direction;
  std::vector<std::array<bool, 3>> reached;
};

// Nothing, saying which, when a member has no length.
std::optional<Members> members_of(const ModelFile& model, std::string& problem) {
  const size_t n_elem = model.elements.size();
  Members m{std::vector<bool>(n_elem), std::vector<std::array<size_t, 2>>(n_elem), std::vector<double>(n_elem),
            std::vector<std::array<double, 3>>(n_elem), std::vector<std::array<bool, 3>>(model.nodes.size())};
  for (size_t j = 0; j < n_elem; ++j) {
    const ModelFileElement& e = model.elements[j];
    m.design[j] = model.props[static_cast<size_t>(e.prop - 1)][0] < 0;
    m.ends[j] = {static_cast<size_t>(e.node1 - 1), static_cast<size_t>(e.node2 - 1)};
    for (size_t k = 0; k < 3; ++k) m.direction[j][k] = model.nodes[m.ends[j][1]][k] - model.nodes[m.ends[j][0]][k];
    m.length[j] = std::hypot(m.direction[j][0], m.direction[j][1], m.direction[j][2]);
    if (!(m.length[j] > 0)) {
      problem = "element " + std::to_string(j + 1) + " has no length";
      return std::nullopt;
    }
    for (size_t k = 0; k < 3; ++k) {
      m.direction[j][k] /= m.length[j];
      for (size_t end : m.ends[j]) m.reached[end][k] = m.reached[end][k] || m.direction[j][k] != 0;
    }
  }
  return m;
}

const std::array<bool, 6>& fixed_at(const ModelFile& model, const PinJointedLoads& s, size_t node) {
  return model.cases.at(s.supports).fixed.at(node);
}

bool loaded(const ModelFile& model, const PinJointedLoads& s) {
  for (size_t i = 0; i < s.loads.size(); ++i)
    for (size_t k = 0; k < 6; ++k)
      if (s.loads[i][k] != 0 && !fixed_at(model, s, i)[k]) return true;
  return false;
}

// Why members cannot carry the set whatever their forces: a moment on a free rotation, or a load
// on a free translation no member reaches. "" when nothing stops them.
std::string unreachable(const ModelFile& model, const PinJointedLoads& s, const Members& m) {
  for (size_t i = 0; i < s.loads.size(); ++i)
    for (size_t k = 0; k < 6; ++k) {
      if (s.loads[i][k] == 0 || fixed_at(model, s, i)[k] || (k < 3 && m.reached[i][k])) continue;
      return s.name + " loads " + direction_text(i, k) + ", which " +
             (k < 3 ? "no member reaches" : "pin-jointed members cannot carry");
    }
  return {};
}

// One loaded set: each design member's tension and compression as columns p, q >= 0 with
// p + q <= a, a free force column per non-design member, and one equilibrium row per free
// translation that a member reaches. (One force column per member within -a..a needs two rows a
// member and solves many times slower.)
void add_set(Program& lp, const ModelFile& model, const PinJointedLoads& s, const Members& m,
             const std::vector<int>& area) {
  const size_t n_elem = m.design.size();
  std::vector<std::array<int, 2>> pq(n_elem, {-1, -1});  // p, q; a non-design member's one free N
  for (size_t j = 0; j < n_elem; ++j) {
    if (!m.design[j]) {
      pq[j][0] = lp.column(-inf, inf, 0);
      continue;
    }
    pq[j] = {lp.column(0, inf, 0), lp.column(0, inf, 0)};
    const int r = lp.row(-inf, 0);  // p + q - a <= 0
    lp.entry(r, pq[j][0], 1);
    lp.entry(r, pq[j][1], 1);
    lp.entry(r, area[j], -1);
  }
  std::vector<int> row_of(3 * s.loads.size(), -1);
  auto row_at = [&](size_t node, size_t k) {
    int& r = row_of[3 * node + k];
    if (r < 0) r = lp.row(s.loads[node][k], s.loads[node][k]);
    return r;
  };
  for (size_t j = 0; j < n_elem; ++j)
    for (size_t k = 0; k < 3; ++k) {
      if (m.direction[j][k] == 0) continue;
      const auto [n1, n2] = m.ends[j];
      for (size_t side = 0; side < 2; ++side) {
        if (pq[j][side] < 0) continue;
        const double sign = side == 0 ? 1.0 : -1.0;
        if (!fixed_at(model, s, n1)[k]) lp.entry(row_at(n1, k), pq[j][side], sign * m.direction[j][k]);
        if (!fixed_at(model, s, n2)[k]) lp.entry(row_at(n2, k), pq[j][side], -sign * m.direction[j][k]);
      }
    }
}

// The program of the sets, solved for its least load path; `area` gets each design member's
// area column (-1 for non-design members).
void solve_least(ClpSimplex& simplex, const ModelFile& model, const std::vector<const PinJointedLoads*>& sets,
                 const Members& m, std::vector<int>& area, double seconds) {
  Program lp;
  area.assign(m.design.size(), -1);
  for (size_t j = 0; j < area.size(); ++j)
    if (m.design[j]) area[j] = lp.column(0, inf, m.length[j]);
  for (const PinJointedLoads* s : sets) add_set(lp, model, *s, m, area);
  CoinPackedMatrix matrix(true, lp.rows.data(), lp.cols.data(), lp.values.data(),
                          static_cast<CoinBigIndex>(lp.values.size()));
  matrix.setDimensions(static_cast<int>(lp.row_low.size()), static_cast<int>(lp.cost.size()));
  simplex.setLogLevel(0);
  simplex.loadProblem(matrix, lp.col_low.data(), lp.col_high.data(), lp.cost.data(), lp.row_low.data(),
                      lp.row_high.data());
  if (seconds > 0) simplex.setMaximumSeconds(seconds);
  simplex.dual();
}

// Why the sets together have no optimum: the time ran out, or the first set the members cannot
// carry on its own (the sets share nothing but the areas, which are free to grow), or the
// program's own failure.
std::string no_optimum(const ModelFile& model, const std::vector<const PinJointedLoads*>& sets, const Members& m,
                       const ClpSimplex& together, double seconds) {
  if (seconds > 0 && together.status() == 3)
    return "the linear program did not finish in " + std::to_string(static_cast<int>(seconds)) + " s";
  for (const PinJointedLoads* s : sets) {
    ClpSimplex alone;
    std::vector<int> area;
    solve_least(alone, model, {s}, m, area, seconds);
    if (alone.isProvenPrimalInfeasible())
      return "the members, pin-jointed, are a mechanism under the loads of " + s->name;
  }
  return "the linear program found no optimum";
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

PinJointedLayout layout_of(const double* solution, const Members& m, const std::vector<int>& area) {
  PinJointedLayout out;
  out.force.assign(area.size(), 0.0);
  for (size_t j = 0; j < area.size(); ++j) {
    if (area[j] < 0) continue;
    out.force[j] = std::max(solution[area[j]], 0.0);
    out.load_path += out.force[j] * m.length[j];
  }
  const double largest = out.force.empty() ? 0.0 : *std::max_element(out.force.begin(), out.force.end());
  out.members = static_cast<int>(std::count_if(out.force.begin(), out.force.end(),
                                               [&](double a) { return a > carries * largest; }));
  return out;
}

}  // namespace

PinJointedOutcome pin_jointed_layout(const ModelFile& model, const std::vector<PinJointedLoads>& sets,
                                     const PinJointedOptions& options) {
  PinJointedOutcome out;
  const std::optional<Members> m = members_of(model, out.problem);
  if (!m) return out;
  std::vector<const PinJointedLoads*> loaded_sets;
  for (const PinJointedLoads& s : sets) {
    if (!loaded(model, s)) continue;
    if (out.problem = unreachable(model, s, *m); !out.problem.empty()) return out;
    loaded_sets.push_back(&s);
  }
  if (loaded_sets.empty()) {
    out.problem = "nothing loads the members";
    return out;
  }
  ClpSimplex simplex;
  std::vector<int> area;
  solve_least(simplex, model, loaded_sets, *m, area, options.seconds);
  if (!simplex.isProvenOptimal()) {
    out.problem = no_optimum(model, loaded_sets, *m, simplex, options.seconds);
    return out;
  }
  if (!options.least_peak) {
    out.layout = layout_of(simplex.primalColumnSolution(), *m, area);
    return out;
  }
  const int peak = bound_peak(simplex, *m, area, simplex.objectiveValue());
  simplex.primal();
  if (!simplex.isProvenOptimal()) {
    out.problem = "the linear program found no optimum";
    return out;
  }
  out.layout = layout_of(simplex.primalColumnSolution(), *m, area);
  out.layout->peak = simplex.primalColumnSolution()[peak];
  return out;
}

std::optional<PinJointedLayout> pin_jointed_layout(const ModelFile& model) {
  std::vector<PinJointedLoads> sets;
  for (size_t c = 0; c < model.cases.size(); ++c)
    sets.push_back({"load case " + std::to_string(c + 1), c, model.cases[c].loads});
  return pin_jointed_layout(model, sets, {.least_peak = true}).layout;
}
