// The pieces of a frame as rigid bodies, each with the Gram matrix of its supports per support
// pattern, joined as members are added back.
#include "evaluate/held_frame.h"

#include <algorithm>
#include <numeric>

#include "solver/rigid_motion.h"

namespace {
// Per dof (6 per node): held by a support or a spring.
using SupportPattern = std::vector<char>;

// The distinct support patterns of the load cases the analysis solves.
std::vector<SupportPattern> support_patterns(const ModelFile& m, bool self_weight) {
  std::vector<SupportPattern> out;
  for (const ModelFileCase& c : m.cases) {
    SupportPattern p(6 * m.nodes.size(), 0);
    bool loaded = self_weight;
    for (size_t i = 0; i < m.nodes.size(); ++i)
      for (size_t k = 0; k < 6; ++k) {
        p[6 * i + k] = c.fixed[i][k] || c.springs[i][k] > 0;
        loaded = loaded || (!c.fixed[i][k] && c.loads[i][k] != 0);
      }
    if (loaded && std::find(out.begin(), out.end(), p) == out.end()) out.push_back(std::move(p));
  }
  return out;
}

// The nodes joined into pieces by the members kept; per piece and support pattern the Gram of its
// supports about the centre of the model's box, in units of its half diagonal, and the motions
// it leaves free. A node no member kept touches is a piece of its own outside the frame: its
// motions count only once a member joins it to the frame.
class RigidPieces {
 public:
  RigidPieces(const ModelFile& m, const std::vector<SupportPattern>& patterns) : m_(m), patterns_(patterns.size()) {
    const size_t n = m.nodes.size();
    parent_.resize(n);
    std::iota(parent_.begin(), parent_.end(), 0);
    in_frame_.assign(n, 0);
    gram_.assign(n * patterns_, RigidGram::Zero());
    free_.assign(n * patterns_, 0);
    auto at = [&](size_t i) { return Eigen::Vector3d(m.nodes[i][0], m.nodes[i][1], m.nodes[i][2]); };
    Eigen::Vector3d low = n > 0 ? at(0) : Eigen::Vector3d::Zero(), high = low;
    for (size_t i = 0; i < n; ++i) {
      low = low.cwiseMin(at(i));
      high = high.cwiseMax(at(i));
    }
    const Eigen::Vector3d centre = (low + high) / 2;
    const double scale = (high - low).norm() > 0 ? (high - low).norm() / 2 : 1.0;
    for (size_t i = 0; i < n; ++i) {
      const Eigen::Vector3d rho = (at(i) - centre) / scale;
      for (size_t s = 0; s < patterns_; ++s) {
        for (int k = 0; k < 6; ++k)
          if (patterns[s][6 * i + static_cast<size_t>(k)]) gram(i, s) += rigid_motion_row(rho, k) * rigid_motion_row(rho, k).transpose();
        free_count(i, s) = free_motion_count(gram(i, s));
      }
    }
  }

  // Member j of the model joins its ends' pieces into one of the frame.
  void join(size_t j) {
    const size_t a = root(end_node(j, 0)), b = root(end_node(j, 1));
    in_frame_[a] = 1;
    if (a == b) return;
    parent_[b] = a;
    for (size_t s = 0; s < patterns_; ++s) {
      gram(a, s) += gram(b, s);
      free_count(a, s) = free_motion_count(gram(a, s));
    }
  }

  // Motions free over the pieces of the frame.
  int free_motions() {
    int sum = 0;
    for (size_t i = 0; i < parent_.size(); ++i)
      if (root(i) == i) sum += counted(i);
    return sum;
  }

  // How many fewer motions would be free with member j joined.
  int held_by(size_t j) {
    const size_t a = root(end_node(j, 0)), b = root(end_node(j, 1));
    if (a == b) return 0;
    const int before = counted(a) + counted(b);
    if (before == 0) return 0;
    int after = 0;
    for (size_t s = 0; s < patterns_; ++s) after += free_motion_count(gram(a, s) + gram(b, s));
    return before - after;
  }

 private:
  // Of node i (a root, once joined) and support pattern s.
  RigidGram& gram(size_t i, size_t s) { return gram_[i * patterns_ + s]; }
  int& free_count(size_t i, size_t s) { return free_[i * patterns_ + s]; }
  int free_count(size_t i, size_t s) const { return free_[i * patterns_ + s]; }

  size_t end_node(size_t j, int end) const {
    return static_cast<size_t>((end == 0 ? m_.elements[j].node1 : m_.elements[j].node2) - 1);
  }
  size_t root(size_t i) {
    while (parent_[i] != i) i = parent_[i] = parent_[parent_[i]];
    return i;
  }
  // The free motions of piece r over the patterns, when it is part of the frame.
  int counted(size_t r) const {
    if (!in_frame_[r]) return 0;
    int sum = 0;
    for (size_t s = 0; s < patterns_; ++s) sum += free_count(r, s);
    return sum;
  }

  const ModelFile& m_;
  size_t patterns_;
  std::vector<size_t> parent_;
  std::vector<char> in_frame_;  // per root: some member kept touches the piece
  std::vector<RigidGram> gram_;  // per node (used at roots) and pattern
  std::vector<int> free_;       // the same
};

RigidPieces pieces_of(const ModelFile& m, const std::vector<SupportPattern>& patterns, const std::vector<char>& keep) {
  RigidPieces pieces(m, patterns);
  for (size_t j = 0; j < keep.size(); ++j)
    if (keep[j]) pieces.join(j);
  return pieces;
}

// The members left out, lightest first (see the header): shortest first, equal lengths in their
// order.
std::vector<size_t> candidates(const ShownFrame& f, const std::vector<char>& keep) {
  std::vector<size_t> out;
  std::vector<double> length(keep.size(), 0);
  for (size_t j = 0; j < keep.size(); ++j)
    if (!keep[j]) {
      out.push_back(j);
      length[j] = member_length(f.model, j);
    }
  std::stable_sort(out.begin(), out.end(), [&](size_t a, size_t b) { return length[a] < length[b]; });
  return out;
}
}  // namespace

int free_rigid_motions(const ModelFile& m, const std::vector<char>& keep, const Loading& loading) {
  return pieces_of(m, support_patterns(m, loading.self_weight), keep).free_motions();
}

Holding hold_mechanism(const ShownFrame& f, std::vector<char>& keep, const Loading& loading) {
  RigidPieces pieces = pieces_of(f.model, support_patterns(f.model, loading.self_weight), keep);
  Holding out;
  out.free_before = out.free_after = pieces.free_motions();
  if (out.free_before == 0) return out;
  const std::vector<size_t> order = candidates(f, keep);
  while (out.free_after > 0) {
    const auto next = std::find_if(order.begin(), order.end(), [&](size_t j) { return !keep[j] && pieces.held_by(j) > 0; });
    if (next == order.end()) break;
    out.free_after -= pieces.held_by(*next);
    pieces.join(*next);
    keep[*next] = 1;
    out.added.push_back(static_cast<int>(*next));
  }
  return out;
}
