// Corners, lattice points and the ground-structure rule of the design records.
#include "model/geometry.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "formats/errors.h"
#include "formats/numtext.h"

namespace {
std::string record_name(int k) { return "box/bar " + std::to_string(k); }

// "t divides d" as the rule states it, in floating point.
bool divides(int d, int t) {
  const double q = static_cast<double>(d) / t;
  return std::fabs(std::floor(q + 0.001) * t - d) <= 0.001;
}
}  // namespace

Vec3 radians_from_degrees(const Vec3& degrees) {
  constexpr double pi = pi_modelling;  // 4 atan(1)
  Vec3 a;
  for (int i = 1; i <= 3; ++i) a[i] = static_cast<float>(double(degrees[i]) * pi / 180.0);
  return a;
}

RecordCorners record_corners(const ModelStore& m, int k) {
  const FixedRotation turn(radians_from_degrees(Vec3(m.gr_rot(k, 1), m.gr_rot(k, 2), m.gr_rot(k, 3))));
  RecordCorners rc;
  for (int c = 1; c <= 8; ++c) {
    Vec3 p;
    for (int a = 1; a <= 3; ++a) p[a] = to_single(corner_sign[c][a - 1] * double(m.gr_len(k, a)) / 2);
    turn.apply(p);
    for (int a = 1; a <= 3; ++a) {
      rc.plain[c][a] = to_single(double(p[a]) + m.gr_cen(k, a));
      rc.displaced[c][a] = to_single(double(rc.plain[c][a]) + m.gr_apex(k, c, a));
    }
  }
  return rc;
}

const char* division_fault(int div_l, int div_w, int div_h) {
  if (div_l < 1 || div_w < 1 || div_h < 1) return err::overflow;
  if ((div_l + 1LL) * (div_w + 1LL) * (div_h + 1LL) > max_nodes) return err::capacity;
  return nullptr;
}

Lattice lattice_points(const CornerSet& displaced, int div_l, int div_w, int div_h, int record) {
  const long long total = (div_l + 1LL) * (div_w + 1LL) * (div_h + 1LL);
  if (const char* fault = division_fault(div_l, div_w, div_h)) {
    const int low = div_l < 1 ? div_l : div_w < 1 ? div_w : div_h;
    raise_error(fault, fault == err::overflow ? "division number " + std::to_string(low) + " of " + record_name(record)
                                              : record_name(record) + ": " + std::to_string(total) +
                                                    " lattice points, more than " + std::to_string(max_nodes));
  }

  Lattice lat;
  const int nl = div_l + 1, nw = div_w + 1, nh = div_h + 1;
  lat.layers[0] = nl;
  lat.layers[1] = nw;
  lat.layers[2] = nh;
  lat.xyz.reserve(static_cast<size_t>(total) + 1);
  lat.index.reserve(static_cast<size_t>(total) + 1);
  // Natural coordinate in -1..1 of layer k of n, and the factor (1 + x s) / 2 of a corner
  // with sign s: the trilinear shape function of corner c is the product of its three
  // factors, (1 + xi sL) (1 + eta sW) (1 + zeta sH) / 8.
  auto factors = [](int k, int n, double f[2]) {
    const double x = 2.0 * (k - 1) / (n - 1) - 1;
    f[0] = (1 - x) / 2;  // sign -1
    f[1] = (1 + x) / 2;  // sign +1
  };
  for (int j = nw; j >= 1; --j) {
    double fw[2];
    factors(j, nw, fw);
    for (int l = 1; l <= nh; ++l) {
      double fh[2];
      factors(l, nh, fh);
      for (int i = nl; i >= 1; --i) {
        double fl[2];
        factors(i, nl, fl);
        double sum[3] = {0, 0, 0};
        for (int c = 1; c <= 8; ++c) {
          const double n = fl[corner_sign[c][0] > 0] * fw[corner_sign[c][1] > 0] * fh[corner_sign[c][2] > 0];
          for (int a = 0; a < 3; ++a) sum[a] += n * displaced[c][a + 1];
        }
        lat.xyz.emplace_back(to_single(sum[0]), to_single(sum[1]), to_single(sum[2]));
        lat.index.push_back({static_cast<int16_t>(i - 1), static_cast<int16_t>(j - 1), static_cast<int16_t>(l - 1)});
      }
    }
  }
  return lat;
}

Lattice record_lattice(const ModelStore& m, int k, const CornerSet& displaced) {
  return lattice_points(displaced, m.gr_div(k, 1), m.gr_div(k, 2), m.gr_div(k, 3), k);
}

AxisWeights flat_side_weights(const ModelStore& m, int k) {
  auto solid = [&](int a) { return std::fabs(m.gr_len(k, a)) >= 0.001f; };
  return {solid(1), solid(2), solid(3)};
}

namespace {
std::vector<PointPair> compute_pairs(const Lattice& lat, AxisWeights weights) {
  const int n = lat.count();
  const size_t examined = static_cast<size_t>(n) * (n - 1) / 2;
  // The outcome depends only on the three index differences, so the divisor test runs once
  // per difference triple. The table is indexed by the signed differences, coded like a
  // lattice index with digits -(N-1)..N-1, so that a pair costs one subtraction and one load.
  const int nl = lat.layers[0], nw = lat.layers[1], nh = lat.layers[2];
  const int m = std::max({nl, nw, nh});
  const int rw = 2 * nw - 1, rh = 2 * nh - 1;
  std::vector<char> excluded(static_cast<size_t>(2 * nl - 1) * rw * rh, 0);
  for (int dl = 0; dl < nl; ++dl)
    for (int dw = 0; dw < nw; ++dw)
      for (int dh = 0; dh < nh; ++dh) {
        bool out = false;
        for (int t = 2; t <= m - 1 && !out; ++t)
          out = (!weights.l || divides(dl, t)) && (!weights.w || divides(dw, t)) && (!weights.h || divides(dh, t));
        for (int sl : {-dl, dl})
          for (int sw : {-dw, dw})
            for (int sh : {-dh, dh})
              excluded[(static_cast<size_t>(sl + nl - 1) * rw + (sw + nw - 1)) * rh + (sh + nh - 1)] = out;
      }
  std::vector<int> code(static_cast<size_t>(n) + 1, 0);
  for (int p = 1; p <= n; ++p) code[p] = (lat.index[p][0] * rw + lat.index[p][1]) * rh + lat.index[p][2];
  const char* out_of = excluded.data() + ((nl - 1) * rw + (nw - 1)) * rh + (nh - 1);  // zero differences

  std::vector<PointPair> pairs(examined);
  size_t chosen = 0;
  for (int p = 1; p < n; ++p) {
    const int cp = code[p];
    for (int q = p + 1; q <= n; ++q) {
      pairs[chosen] = {static_cast<int16_t>(p), static_cast<int16_t>(q)};
      chosen += !out_of[code[q] - cp];
    }
  }
  pairs.resize(chosen);
  return pairs;
}

bool same_weights(AxisWeights a, AxisWeights b) { return a.l == b.l && a.w == b.w && a.h == b.h; }

// A lattice and the pairs chosen on it.
struct KnownPairs {
  int layers[3] = {0, 0, 0};
  AxisWeights weights;
  std::vector<std::array<int16_t, 3>> index;
  std::vector<PointPair> pairs;
};
}  // namespace

std::vector<PointPair> choose_pairs(const Lattice& lat, AxisWeights weights, int record) {
  const int n = lat.count();
  const long long examined = static_cast<long long>(n) * (n - 1) / 2;
  if (examined > max_pairs_per_record)
    raise_error(err::capacity, record_name(record) + ": " + std::to_string(n) + " lattice points, more than " +
                                   std::to_string(max_pairs_per_record) + " pairs");
  // The pairs depend on the lattice indices and the weights alone, and the preview asks for
  // the same few lattices on every keystroke: the last lists are kept.
  thread_local std::array<KnownPairs, 4> known;
  thread_local size_t next = 0;
  for (const KnownPairs& k : known)
    if (std::equal(k.layers, k.layers + 3, lat.layers) && same_weights(k.weights, weights) && k.index == lat.index)
      return k.pairs;
  std::vector<PointPair> pairs = compute_pairs(lat, weights);
  KnownPairs& k = known[next];
  std::copy(lat.layers, lat.layers + 3, k.layers);
  k.weights = weights;
  k.index = lat.index;
  k.pairs = pairs;
  next = (next + 1) % known.size();
  return pairs;
}
