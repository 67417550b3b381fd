// The exports of the post-processing window: element table, solid mesh and line drawing.
#include "post/design_export.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <vector>

#include "formats/errors.h"
#include "formats/fields.h"
#include "formats/numtext.h"
#include "post/element_frame.h"

namespace {

constexpr int prism_sides = 16;

void check_cycle(const ResultStore& r, int c) {
  if (c < 1 || c > r.pn_cyc) raise_error(err::subscript, "cycle " + std::to_string(c));
}

std::string lower_extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return std::tolower(ch); });
  return ext;
}

P3 end_of(const ResultStore& r, int c, int e, int end) { return node_of(r, c, r.pe_nod(e, end)); }

// ---- solids ----

struct Triangle {
  P3 a, b, c;  // counter-clockwise seen from outside
};

// A straight prism from p1 to p2 over a convex ring of offsets across the axis. Sides and caps
// face outwards whichever way the ring runs.
void add_prism(std::vector<Triangle>& mesh, const P3& p1, const P3& p2, std::vector<P3> ring) {
  const P3 axis = p2 - p1;
  P3 turn{};
  for (size_t j = 0; j < ring.size(); ++j) turn = turn + cross(ring[j], ring[(j + 1) % ring.size()]);
  if (dot(turn, axis) < 0) std::reverse(ring.begin(), ring.end());  // counter-clockwise about the axis
  const size_t n = ring.size();
  for (size_t j = 0; j < n; ++j) {
    const P3& o1 = ring[j];
    const P3& o2 = ring[(j + 1) % n];
    mesh.push_back({p1 + o1, p1 + o2, p2 + o2});
    mesh.push_back({p1 + o1, p2 + o2, p2 + o1});
  }
  for (size_t j = 1; j + 1 < n; ++j) {
    mesh.push_back({p2 + ring[0], p2 + ring[j], p2 + ring[j + 1]});
    mesh.push_back({p1 + ring[0], p1 + ring[j + 1], p1 + ring[j]});
  }
}

// The polygon of a design beam: its area pi d^2 / 4, so the circumradius is a little larger.
void add_round_beam(std::vector<Triangle>& mesh, const P3& p1, const P3& p2, double diameter) {
  const ElementAxes ax = element_axes(p2 - p1, P3{});
  const double step = 2 * std::numbers::pi / prism_sides;
  const double radius = diameter / 2 * std::sqrt(std::numbers::pi / (prism_sides / 2.0 * std::sin(step)));
  std::vector<P3> ring;
  for (int j = 0; j < prism_sides; ++j)
    ring.push_back((radius * std::cos(j * step)) * ax.u2 + (radius * std::sin(j * step)) * ax.u1);
  add_prism(mesh, p1, p2, std::move(ring));
}

// One plate per section line of length and thickness; false when there is none.
bool add_plates(std::vector<Triangle>& mesh, const ResultStore& r, int e, int s, const P3& p1, const P3& p2) {
  const SectionTable& t = r.sections;
  const ElementAxes ax = element_axes(p2 - p1, {r.pe_ref(e, 1), r.pe_ref(e, 2), r.pe_ref(e, 3)});
  auto at = [&](double w, double h) { return w * ax.u2 + h * ax.u1; };
  bool any = false;
  for (int l = 1; l <= t.n_line(s); ++l) {
    const int q1 = t.line_pnt(s, l, 1), q2 = t.line_pnt(s, l, 2);
    const double w1 = t.pnt_xy(s, q1, 1), h1 = t.pnt_xy(s, q1, 2), w2 = t.pnt_xy(s, q2, 1), h2 = t.pnt_xy(s, q2, 2);
    const double len = std::hypot(w2 - w1, h2 - h1), thick = t.line_t(s, l);
    if (!(len > 0) || !(thick > 0) || !std::isfinite(len * thick)) continue;
    // Half the wall on either side of the line.
    const double nw = -(h2 - h1) / len * thick / 2, nh = (w2 - w1) / len * thick / 2;
    add_prism(mesh, p1, p2, {at(w1 - nw, h1 - nh), at(w2 - nw, h2 - nh), at(w2 + nw, h2 + nh), at(w1 + nw, h1 + nh)});
    any = true;
  }
  return any;
}

std::vector<Triangle> design_mesh(const ResultStore& r, const DesignChoice& d) {
  std::vector<Triangle> mesh;
  const std::vector<int> section = element_sections(r);
  const int c = d.cycle;
  for (int e = 1; e <= r.pn_elem; ++e) {
    if (!shown_as_beam(r, c, e, d.threshold)) continue;
    const P3 p1 = end_of(r, c, e, 1), p2 = end_of(r, c, e, 2);
    if (!(norm(p2 - p1) > 0)) continue;
    const int s = section[static_cast<size_t>(e)];
    if (r.is_non_design(e) && s > 0 && add_plates(mesh, r, e, s, p1, p2)) continue;
    if (r.pe_dia(c, e) > 0) add_round_beam(mesh, p1, p2, r.pe_dia(c, e));
  }
  return mesh;
}

// Little-endian bytes, as the STL layout has them on every machine.
void put_u32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}
void put_point(std::string& out, const P3& p) {
  for (double x : p) put_u32(out, std::bit_cast<uint32_t>(static_cast<float>(x)));
}

// ---- DXF ----

// One group: its code right-aligned in three characters, then the value, each on a line.
void group(DataFileWriter& out, int code, const std::string& value) {
  const std::string c = std::to_string(code);
  out.line(std::string(c.size() < 3 ? 3 - c.size() : 0, ' ') + c);
  out.line(value);
}

void dxf_point(DataFileWriter& out, int code, const P3& p) {
  for (int a = 0; a < 3; ++a) group(out, code + 10 * a, plain_text(static_cast<float>(p[static_cast<size_t>(a)])));
}

struct DxfLayer {
  const char* name;
  int colour;  // drawing colour number: 30 brown-orange, 5 blue, 2 yellow
};
constexpr DxfLayer dxf_layers[] = {{"DESIGN", 30}, {"NON_DESIGN", 5}, {"THIN", 2}};

void dxf_tables(DataFileWriter& out) {
  group(out, 0, "SECTION");
  group(out, 2, "TABLES");
  group(out, 0, "TABLE");
  group(out, 2, "LTYPE");
  group(out, 70, "1");
  group(out, 0, "LTYPE");
  group(out, 2, "CONTINUOUS");
  group(out, 70, "0");
  group(out, 3, "Solid line");
  group(out, 72, "65");
  group(out, 73, "0");
  group(out, 40, "0.0");
  group(out, 0, "ENDTAB");
  group(out, 0, "TABLE");
  group(out, 2, "LAYER");
  group(out, 70, std::to_string(std::size(dxf_layers)));
  for (const DxfLayer& l : dxf_layers) {
    group(out, 0, "LAYER");
    group(out, 2, l.name);
    group(out, 70, "0");
    group(out, 62, std::to_string(l.colour));
    group(out, 6, "CONTINUOUS");
  }
  group(out, 0, "ENDTAB");
  group(out, 0, "TABLE");
  group(out, 2, "APPID");
  group(out, 70, "1");
  group(out, 0, "APPID");
  group(out, 2, "MARULLA");
  group(out, 70, "0");
  group(out, 0, "ENDTAB");
  group(out, 0, "ENDSEC");
}

const char* dxf_layer_of(const ResultStore& r, const DesignChoice& d, int e) {
  if (r.is_non_design(e)) return "NON_DESIGN";
  return shown_as_beam(r, d.cycle, e, d.threshold) ? "DESIGN" : "THIN";
}

}  // namespace

ExportFormat export_format(const std::string& path) {
  const std::string ext = lower_extension(path);
  if (ext == ".csv") return ExportFormat::csv;
  if (ext == ".stl") return ExportFormat::stl;
  if (ext == ".dxf") return ExportFormat::dxf;
  if (ext == ".inp") return ExportFormat::inp;
  if (ext == ".pdf") return ExportFormat::pdf;
  raise_error(err::bad_file_name, path + ": the name must end in .csv, .stl, .dxf, .inp or .pdf");
}

void export_design(const ResultStore& r, const DesignChoice& d, const std::string& path) {
  switch (export_format(path)) {
    case ExportFormat::csv:
      return write_design_csv(r, d, path);
    case ExportFormat::stl:
      return write_design_stl(r, d, path);
    case ExportFormat::dxf:
      return write_design_dxf(r, d, path);
    case ExportFormat::inp:
    case ExportFormat::pdf:
      break;
  }
  raise_error(err::bad_file_name, path + ": an input deck or a report is written from the frame analysed, not the result file");
}

void write_design_csv(const ResultStore& r, const DesignChoice& d, const std::string& path) {
  check_cycle(r, d.cycle);
  DataFileWriter out(path);
  write_design_csv(r, d, out);
  out.commit();
}

void write_design_csv(const ResultStore& r, const DesignChoice& d, DataFileWriter& out) {
  check_cycle(r, d.cycle);
  out.line("element,node1,node2,L1,W1,H1,L2,W2,H2,length,diameter,kind,above_threshold" + (d.more ? d.more->header : ""));
  for (int e = 1; e <= r.pn_elem; ++e) {
    std::string row = std::to_string(e) + "," + std::to_string(r.pe_nod(e, 1)) + "," + std::to_string(r.pe_nod(e, 2));
    for (int end = 1; end <= 2; ++end)
      for (int a = 1; a <= 3; ++a) row += "," + plain_text(r.pnode_xyz(d.cycle, r.pe_nod(e, end), a));
    row += "," + plain_text(norm(end_of(r, d.cycle, e, 2) - end_of(r, d.cycle, e, 1)));
    row += "," + plain_text(r.pe_dia(d.cycle, e));
    row += r.is_non_design(e) ? ",non-design" : ",design";
    row += shown_as_beam(r, d.cycle, e, d.threshold) ? ",yes" : ",no";
    if (d.more) row += d.more->rows[static_cast<size_t>(e)];
    out.line(row);
  }
}

void write_design_stl(const ResultStore& r, const DesignChoice& d, const std::string& path) {
  check_cycle(r, d.cycle);
  const std::vector<Triangle> mesh = design_mesh(r, d);
  std::string bytes = "Marulla optimised frame, binary STL, mm";
  bytes.resize(80, ' ');
  put_u32(bytes, static_cast<uint32_t>(mesh.size()));
  for (const Triangle& t : mesh) {
    const P3 n = cross(t.b - t.a, t.c - t.a);
    const double len = norm(n);
    put_point(bytes, len > 0 ? (1 / len) * n : P3{});
    put_point(bytes, t.a);
    put_point(bytes, t.b);
    put_point(bytes, t.c);
    bytes.append(2, '\0');  // no attributes
  }
  DataFileWriter out(path);
  out.bytes(bytes);
  out.commit();
}

void write_design_dxf(const ResultStore& r, const DesignChoice& d, const std::string& path) {
  check_cycle(r, d.cycle);
  DataFileWriter out(path);
  group(out, 0, "SECTION");
  group(out, 2, "HEADER");
  group(out, 9, "$ACADVER");
  group(out, 1, "AC1009");
  group(out, 9, "$INSUNITS");
  group(out, 70, "4");  // millimetres
  group(out, 0, "ENDSEC");
  dxf_tables(out);
  group(out, 0, "SECTION");
  group(out, 2, "ENTITIES");
  for (int e = 1; e <= r.pn_elem; ++e) {
    group(out, 0, "LINE");
    group(out, 8, dxf_layer_of(r, d, e));
    dxf_point(out, 10, end_of(r, d.cycle, e, 1));
    dxf_point(out, 11, end_of(r, d.cycle, e, 2));
    group(out, 1001, "MARULLA");
    group(out, 1070, std::to_string(e));
    group(out, 1040, plain_text(r.pe_dia(d.cycle, e)));
  }
  group(out, 0, "ENDSEC");
  group(out, 0, "EOF");
  out.commit();
}
