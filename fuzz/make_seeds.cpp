// Writes seed files for the fuzz targets with the program's own writers: a small design of a
// box and a non-design bar, its section file, temporary file and analysis model file, and a
// result file of two cycles on its mesh in the solver's layout.
// Usage: fuzz_make_seeds DIR  (files go to DIR/section_file, DIR/model_file, ...)
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "analysis/model_file.h"
#include "analysis/temp_file.h"
#include "formats/fields.h"
#include "model/mesh.h"
#include "model/model_store.h"
#include "section/section_table.h"
#include "section/typical_shapes.h"

namespace fs = std::filesystem;

namespace {

// Record 1: a box 200 x 100 x 100 mm undivided (design); record 2: a bar 200 mm long
// above it (non-design, a rectangular tube). Section 3 has points but no lines.
void make_design(ModelStore& m, SectionTable& t) {
  m.form_load();
  m.n_gr = 2;
  const float len[2][3] = {{200, 100, 100}, {200, 10, 10}};
  for (int a = 1; a <= 3; ++a) {
    m.gr_len(1, a) = len[0][a - 1];
    m.gr_len(2, a) = len[1][a - 1];
  }
  m.gr_cen(2, 3) = 100;
  m.gr_rot(2, 3) = -30;
  m.gr_apex(1, 7, 3) = 5;
  m.gr_div(1, 1) = 1, m.gr_div(1, 2) = 1, m.gr_div(1, 3) = 1, m.gr_div(1, 4) = 1;
  m.gr_div(2, 1) = m.gr_div(2, 2) = m.gr_div(2, 3) = 1, m.gr_div(2, 4) = 2;
  m.gr_mat(1, 1) = 206000, m.gr_mat(1, 2) = 0.3f, m.gr_mat(1, 3) = 1;
  m.gr_mat(2, 1) = 70000, m.gr_mat(2, 2) = 0.33f, m.gr_mat(2, 3) = 0;

  t.n_sec = 3;
  make_rectangular_tube(t, 2, 20, 10, 1.5f);
  t.n_pnt(3) = 2;
  t.pnt_xy(3, 2, 1) = -4.5f;
}

// Case 1: node 1 clamped, a load at the last node; case 3: node 2 pinned, a moment and a spring.
void add_conditions(ModelStore& m) {
  for (int k = 1; k <= 6; ++k) m.bc_val(1, 1, 1, k) = 1;
  m.bc_val(1, m.n_node, 2, 3) = -1000;
  for (int k = 1; k <= 3; ++k) m.bc_val(3, 2, 1, k) = 1;
  m.bc_val(3, 3, 2, 5) = 2.5e4f;
  m.spring_val(3, 4, 2) = 150;
}

// The solver's layout (see post/result_file.h): header, element lines, then per cycle a cycle
// line, the node lines and the diameters.
void write_results(const std::string& path, const ModelStore& m, int cycles) {
  DataFileWriter out(path);
  out.line(FieldLine().i5(m.n_node).i5(m.n_elem).e15(20));
  for (int e = 1; e <= m.n_elem; ++e)
    out.line(FieldLine().i5(e).i5(m.elem_nod(e, 1)).i5(m.elem_nod(e, 2)).i5(m.prop_tab(m.elem_nod(e, 3), 1) > 0));
  for (int c = 1; c <= cycles; ++c) {
    out.line(FieldLine().i5(c).e15(5000.0 / c).e15(0.3).e15(0.01));
    for (int i = 1; i <= m.n_node; ++i)
      out.line(FieldLine().i5(i).e15(m.node_xyz(i, 1)).e15(m.node_xyz(i, 2)).e15(m.node_xyz(i, 3)));
    for (int e = 1; e <= m.n_elem; ++e) out.line(FieldLine().i5(e).e15(20.0 / (c + e % 3)));
  }
  out.commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const fs::path dir = argv[1];
  try {
    for (const char* reader : {"section_file", "model_file", "temp_file", "result_file"})
      fs::create_directories(dir / reader);
    auto at = [&](const char* reader, const char* name) { return (dir / reader / name).string(); };

    ModelStore m;
    SectionTable t;
    make_design(m, t);
    const std::string sections = at("section_file", "design.dat");
    write_section_file(t, MomentSums::single_precision, sections);

    SectionTable copy;
    save_design(m, copy, at("temp_file", "design.dat"), sections);

    build_analysis_model(m, sections);
    AnalysisSettings settings;
    settings.volume_ratio = 0.3f;
    write_model_file(m, settings, at("model_file", "bare.dat"));
    add_conditions(m);
    write_model_file(m, settings, at("model_file", "two_cases.dat"));

    write_results(at("result_file", "two_cycles.dat"), m, 2);
    write_results(at("result_file", "no_cycle.dat"), m, 0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_make_seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
