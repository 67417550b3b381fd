// The calculation report of a design shown: a 200-member lattice and the program's largest model
// (5000 elements, 1000 nodes, 5 load cases), each coloured by utilisation. The content (checks
// and tables) and the PDF pages (layout, four pictures, writing) timed apart, against the
// analysis of the same frame, and beside the aims: under 2 s and under 10 s for the whole report.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "bench/models.h"
#include "evaluate/force_view.h"
#include "export/report.h"
#include "ui/pdf_report.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// One cycle of the model, every beam at the maximum diameter, as the result file would hold it.
std::unique_ptr<ResultStore> result_of(const ModelFile& m, double diameter) {
  auto store = std::make_unique<ResultStore>();
  ResultStore& r = *store;
  r.pn_node = static_cast<int16_t>(m.n_node);
  r.pn_elem = static_cast<int16_t>(m.n_elem);
  r.pd_max = static_cast<float>(diameter);
  r.pn_cyc = 1;
  for (int i = 1; i <= m.n_node; ++i)
    for (int k = 1; k <= 3; ++k) r.pnode_xyz(1, i, k) = static_cast<float>(m.nodes[static_cast<size_t>(i - 1)][static_cast<size_t>(k - 1)]);
  for (int e = 1; e <= m.n_elem; ++e) {
    const ModelFileElement& el = m.elements[static_cast<size_t>(e - 1)];
    r.pe_nod(e, 1) = static_cast<int16_t>(el.node1);
    r.pe_nod(e, 2) = static_cast<int16_t>(el.node2);
    r.pe_dia(1, e) = static_cast<float>(diameter);
    for (int k = 1; k <= 3; ++k) r.pe_ref(e, k) = static_cast<float>(el.ref[static_cast<size_t>(k - 1)]);
  }
  r.pc_comp(1) = 1000;
  r.pc_vol(1) = 0.05;
  r.res_ok = 1;
  return store;
}

void time_report(const char* name, const ModelFile& model, double aim) {
  constexpr double diameter = 20;
  const auto store = result_of(model, diameter);
  const ShownFrame frame = frame_of(model, std::vector<double>(static_cast<size_t>(model.n_elem), diameter));
  auto start = std::chrono::steady_clock::now();
  const FrameForces forces = analyse_frame(frame);
  const double analysis = seconds_since(start);

  Evaluated shown;
  shown.frame = &frame;
  shown.forces = &forces;
  shown.drawn.assign(frame.element.size(), 1);
  const FrameChecks checks = check_frame(frame, forces, {}, shown.drawn);
  shown.checks = &checks;
  shown.deflections = deflections(forces, 0);
  shown.summary = summarise(forces, checks, shown.drawn);
  ReportInput in;
  in.store = store.get();
  in.model = &model;
  in.shown = &shown;
  in.picture.cycle = 1;
  in.picture.threshold = 0.5f;
  in.picture.angles = Vec3(-0.5f, 0.3f, 0.4f);
  in.folder = std::filesystem::temp_directory_path().string();
  in.date = "bench";
  double factor = 0;
  show_forces(in.picture, {ColourBy::utilisation, envelope_state, false}, shown, store->pn_elem, factor);

  start = std::chrono::steady_clock::now();
  const Report report = make_report(in);
  const double content = seconds_since(start);
  const std::string path = (std::filesystem::temp_directory_path() / "marulla_bench_report.pdf").string();
  start = std::chrono::steady_clock::now();
  write_pdf_report(report, path);
  const double pages = seconds_since(start);
  const double total = content + pages;
  std::printf("%s: %d nodes, %d elements, %zu states; report %.0f kB\n", name, model.n_node, model.n_elem,
              forces.states.size(), static_cast<double>(std::filesystem::file_size(path)) / 1024);
  std::printf("  content %.3f s + pages %.3f s = %.3f s; aim %.0f s, report / aim %.2f; report / one analysis %.1f\n",
              content, pages, total, aim, total / aim, total / analysis);
  std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  time_report("200 members", bench::lattice(5, 3, 200, 2), 2);
  time_report("5000 elements", bench::lattice(10, 10, 5000), 10);
  return 0;
}
