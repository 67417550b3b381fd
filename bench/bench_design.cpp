// Design-stage benchmark. The preview is redrawn on every keystroke: its refresh is timed
// against drawing the very same primitives alone into the same kind of canvas, so the ratio
// is what the ground-structure rule and the bookkeeping add to the drawing (aim: below 1.5).
// The analysis-model build at the element capacity is timed with the fast merge and duplicate
// walks against the plain quadratic walks, whose results it must equal.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/recording_canvas.h"
#include "model/geometry.h"
#include "model/mesh.h"
#include "model/model_store.h"
#include "model/preview.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best times of one call of a and of b over several rounds, each round running a, then b,
// `repeat` times: side by side, so that both see the same machine; the minimum is the time
// least disturbed by the rest of it.
std::pair<double, double> best_seconds(const std::function<void()>& a, const std::function<void()>& b, int repeat,
                                       int rounds) {
  double best_a = 1e30, best_b = 1e30;
  for (int r = 0; r < rounds; ++r) {
    auto t0 = Clock::now();
    for (int i = 0; i < repeat; ++i) a();
    best_a = std::min(best_a, std::chrono::duration<double>(Clock::now() - t0).count() / repeat);
    t0 = Clock::now();
    for (int i = 0; i < repeat; ++i) b();
    best_b = std::min(best_b, std::chrono::duration<double>(Clock::now() - t0).count() / repeat);
  }
  return {best_a, best_b};
}

int add_record(ModelStore& m, int kind, Vec3 len, Vec3 cen, int div) {
  const int k = ++m.n_gr;
  for (int a = 1; a <= 3; ++a) {
    m.gr_len(k, a) = len[a];
    m.gr_cen(k, a) = cen[a];
    m.gr_div(k, a) = static_cast<int16_t>(kind == 1 ? div : 1);
  }
  m.gr_div(k, 4) = static_cast<int16_t>(kind);
  m.gr_mat(k, 1) = 206000;
  m.gr_mat(k, 2) = 0.33f;
  m.gr_mat(k, 3) = 1;
  return k;
}

bool same_attributes(const CanvasState& a, const CanvasState& b) {
  return a.line_width == b.line_width && a.line_style == b.line_style && a.fill_style == b.fill_style &&
         a.fill_colour == b.fill_colour && a.text_colour == b.text_colour && a.font_size == b.font_size;
}

// The recorded primitives drawn again, attributes set only where they change, as a drawing
// that knows its lines beforehand would: the drawing without the rule and the bookkeeping.
void replay(Canvas& canvas, const std::vector<Primitive>& prims) {
  canvas.clear();
  for (const Primitive& p : prims) {
    if (!same_attributes(canvas.state(), p.state)) canvas.state() = p.state;
    switch (p.op) {
      case Primitive::Op::line: canvas.line(p.x1, p.y1, p.x2, p.y2, p.colour); break;
      case Primitive::Op::rect: canvas.rect(p.x1, p.y1, p.x2, p.y2, p.colour, p.filled); break;
      case Primitive::Op::circle: canvas.circle(p.x1, p.y1, p.x2, p.colour); break;
      case Primitive::Op::text:
        canvas.move_to(p.x1, p.y1);
        canvas.text(p.text);
        break;
    }
  }
}

void bench_preview(const char* name, ModelStore& m, int repeat) {
  const Vec3 angles = radians_from_degrees(Vec3(20, 150, 30));
  RecordingCanvas canvas;
  auto refresh = [&] {
    canvas.clear();
    draw_design_preview(canvas, m, angles, modelling_view, false);
  };
  refresh();
  const std::vector<Primitive> prims = canvas.primitives();
  RecordingCanvas plain;
  const auto [t_refresh, t_draw] = best_seconds(refresh, [&] { replay(plain, prims); }, repeat, 15);
  std::printf("preview %-22s %6zu primitives  refresh %9.1f us  drawing alone %9.1f us  ratio %.2f\n", name,
              prims.size(), t_refresh * 1e6, t_draw * 1e6, t_refresh / t_draw);
}

bool same_model(const ModelStore& a, const ModelStore& b) {
  if (a.n_node != b.n_node || a.n_elem != b.n_elem || a.n_prop != b.n_prop) return false;
  for (int i = 1; i <= a.n_node; ++i)
    for (int x = 1; x <= 3; ++x)
      if (a.node_xyz(i, x) != b.node_xyz(i, x)) return false;
  for (int e = 1; e <= a.n_elem; ++e)
    for (int x = 1; x <= 3; ++x)
      if (a.elem_nod(e, x) != b.elem_nod(e, x) || a.elem_prop(e, x) != b.elem_prop(e, x)) return false;
  return true;
}

void bench_mesh() {
  // A row of boxes sharing faces (two of 3 x 3 x 3, five of 2 x 2 x 2) and bars along their
  // edges, which all coincide with box elements: every merge and duplicate case at once.
  ModelStore m;
  for (int i = 0; i < 7; ++i) add_record(m, 1, Vec3(100, 100, 100), Vec3(100.0f * i, 0, 0), i < 2 ? 3 : 2);
  // 2 x 1716 + 5 x 302 = 4942 box elements; 58 bars bring the model to 5000.
  for (int i = 0; i < 58; ++i)
    add_record(m, 2, Vec3(100, 10, 10), Vec3(100.0f * (i % 7), i % 2 ? 50.0f : -50.0f, i % 4 < 2 ? 50.0f : -50.0f), 1);
  const SectionValueTable sections;
  const MeshBuild raw = generate_mesh(m, sections);

  ModelStore fast = m, plain = m;
  const auto [t_fast, t_plain] = best_seconds([&] { build_analysis_model(fast, sections, MergeWalk::fast); },
                                              [&] { build_analysis_model(plain, sections, MergeWalk::plain); }, 2, 5);
  std::printf("mesh    %d nodes %d elements before merging, %d and %d after; results %s\n", raw.node_count(),
              raw.element_count(), fast.n_node, fast.n_elem, same_model(fast, plain) ? "identical" : "DIFFERENT");
  std::printf("mesh    build with fast walks %8.2f ms  with plain walks %8.2f ms  ratio %.3f\n", t_fast * 1e3,
              t_plain * 1e3, t_fast / t_plain);
}

}  // namespace

int main() {
  ModelStore one;
  add_record(one, 1, Vec3(100, 100, 100), Vec3(0, 0, 0), 2);
  bench_preview("one box 2x2x2", one, 2000);

  ModelStore ten;
  for (int i = 0; i < 10; ++i) add_record(ten, 1, Vec3(100, 100, 100), Vec3(120.0f * i, 0, 0), 4);
  bench_preview("ten boxes 4x4x4", ten, 10);

  bench_mesh();
  return 0;
}
