// The calculation report's content: the title block, the model, its loads, the optimisation, the
// frame's pictures, the results and the method, each section a function that appends its blocks.
#include "export/report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <set>

#include "base/canvas.h"
#include "base/rotate.h"
#include "formats/numtext.h"
#include "post/plot_axis.h"

#ifndef MARULLA_VERSION
#define MARULLA_VERSION ""
#endif

void Report::heading(const std::string& text) { blocks.push_back({ReportBlock::Kind::heading, text, {}, {}}); }
void Report::subheading(const std::string& text) { blocks.push_back({ReportBlock::Kind::subheading, text, {}, {}}); }
void Report::paragraph(const std::string& text) { blocks.push_back({ReportBlock::Kind::paragraph, text, {}, {}}); }
void Report::table(const std::string& caption, ReportTable t) {
  t.numeric.resize(t.header.size(), true);
  blocks.push_back({ReportBlock::Kind::table, caption, std::move(t), {}});
}
void Report::picture(const std::string& caption, ReportPicture p) {
  blocks.push_back({ReportBlock::Kind::picture, caption, {}, std::move(p)});
}

ReportTable input_file_table(const std::vector<FileStamp>& files) {
  ReportTable t{{"File", "Size [bytes]", "CRC-32", "On disk now"}, {}, {false, true, true, false}};
  for (const FileStamp& f : files) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", f.crc);
    t.rows.push_back({std::filesystem::path(f.path).filename().string(), std::to_string(f.size), hex, on_disk_since(f)});
  }
  return t;
}

namespace {

using Row = std::vector<std::string>;
std::string kn(double newton) { return report_number(newton / 1000); }
std::string knm(double newton_mm) { return report_number(newton_mm / 1e6); }
std::string num(double v) { return report_number(v); }

const char* const dof_names[6] = {"L", "W", "H", "rL", "rW", "rH"};

bool is_design_set(const ModelFile& m, int prop) { return m.props[static_cast<size_t>(prop - 1)][0] < 0; }

// A node some load case holds by a support or a spring.
bool is_supported(const ModelFile& m, size_t node) {
  for (const ModelFileCase& c : m.cases)
    for (int d = 0; d < 6; ++d)
      if (c.fixed[node][static_cast<size_t>(d)] || c.springs[node][static_cast<size_t>(d)] != 0) return true;
  return false;
}

// --- title block ---

void title_block(Report& r, const ReportInput& in) {
  r.title = "Calculation report";
  r.header = in.folder + "    " + in.date;
  r.heading("Calculation report");
  ReportTable job{{report_title_fields.begin(), report_title_fields.end()}, {{in.title.begin(), in.title.end()}}, {}};
  job.numeric.assign(job.header.size(), false);
  r.table("Job", std::move(job));
  const std::string version = MARULLA_VERSION;
  r.paragraph("Program: Marulla" + (version.empty() ? "" : " " + version) + ". Date: " + in.date + ". Working directory: " +
              in.folder + ".");
  r.paragraph("Frame: " + frame_name(in.shown->kind, in.shown->drawn, in.picture.threshold) + ", cycle " +
              std::to_string(in.picture.cycle) + " of " + std::to_string(in.store->pn_cyc) + ".");
  r.table("Input files as read and used (checksum: CRC-32, IEEE 802.3 polynomial, as zip and PNG use)",
          input_file_table(in.files));
  r.paragraph("Units throughout: lengths mm, forces kN, moments kN m, stresses and moduli N/mm2, masses kg.");
  r.paragraph("You must verify your results.");
}

// --- model ---

// The members the report is about: those drawn as beams (every member of a frame to build).
std::vector<size_t> members_shown(const Evaluated& e) {
  std::vector<size_t> out;
  for (size_t j = 0; j < e.frame->element.size(); ++j)
    if (e.drawn.empty() || e.drawn[j]) out.push_back(j);
  return out;
}

// The nodes those members join, 0-based, in order.
std::vector<size_t> nodes_shown(const Evaluated& e) {
  std::set<size_t> nodes;
  for (size_t j : members_shown(e)) {
    const ModelFileElement& el = e.frame->model.elements[j];
    nodes.insert(static_cast<size_t>(el.node1 - 1));
    nodes.insert(static_cast<size_t>(el.node2 - 1));
  }
  return {nodes.begin(), nodes.end()};
}

void node_table(Report& r, const ModelFile& m, const std::vector<size_t>& nodes) {
  ReportTable t{{"Node", "L [mm]", "W [mm]", "H [mm]"}, {}, {}};
  for (size_t i : nodes)
    t.rows.push_back({std::to_string(i + 1), num(m.nodes[i][0]), num(m.nodes[i][1]), num(m.nodes[i][2])});
  r.table("Nodes of the frame (numbered as in the model)", std::move(t));
}

std::string section_text(const ShownFrame& f, size_t j);

void member_geometry_table(Report& r, const Evaluated& e) {
  const ShownFrame& f = *e.frame;
  ReportTable t{{"Member", "Node 1", "Node 2", "Set", "Section [mm]", "Length [mm]"}, {}, {true, true, true, true, false, true}};
  for (size_t j : members_shown(e)) {
    const ModelFileElement& el = f.model.elements[j];
    t.rows.push_back({std::to_string(f.element[j]), std::to_string(el.node1), std::to_string(el.node2),
                      std::to_string(el.prop), section_text(f, j), num(member_length(f.model, j))});
  }
  r.table("Members of the frame (numbered as the elements of the model and the .csv export)", std::move(t));
}

void property_table(Report& r, const ModelFile& m) {
  ReportTable t{{"Set", "Kind", "E [N/mm2]", "G [N/mm2]", "A [mm2]", "I_W [mm4]", "I_H [mm4]", "J [mm4]"}, {}, {}};
  t.numeric = {true, false, true, true, true, true, true, true};
  for (size_t s = 0; s < m.props.size(); ++s) {
    const auto& p = m.props[s];
    const bool design = p[0] < 0;
    Row row{std::to_string(s + 1), design ? "design" : "non-design", num(std::fabs(p[0])), num(p[1])};
    for (size_t k = 2; k < 6; ++k) row.push_back(design ? "-" : num(p[k]));
    t.rows.push_back(row);
  }
  r.table("Materials and property sets (a design set's section is the circle the optimisation gives each beam)",
          std::move(t));
}

// The drawn sections of the non-design bars, each once, about the centroid and principal axes.
void drawn_section_table(Report& r, const ShownFrame& f) {
  ReportTable t{{"Set", "A [mm2]", "W_c [mm]", "H_c [mm]", "I_W [mm4]", "I_H [mm4]", "I_1 [mm4]", "I_2 [mm4]",
                 "Angle [deg]", "J [mm4]"},
                {},
                {}};
  std::set<const DrawnSectionProperties*> seen;
  for (size_t j = 0; j < f.drawn.size(); ++j) {
    const DrawnSectionProperties* d = f.drawn[j].get();
    if (d == nullptr || !seen.insert(d).second) continue;
    t.rows.push_back({std::to_string(f.model.elements[j].prop), num(d->area), num(d->centroid_w), num(d->centroid_h),
                      num(d->iw), num(d->ih), num(d->i1), num(d->i2), num(d->angle), num(d->j)});
  }
  if (!t.rows.empty()) r.table("Drawn sections of the non-design bars (about the centroid; principal axes 1, 2)", std::move(t));
}

void model_section(Report& r, const ReportInput& in) {
  const ModelFile& m = *in.model;
  r.heading("Model");
  int design = 0;
  for (const ModelFileElement& e : m.elements) design += is_design_set(m, e.prop) ? 1 : 0;
  r.paragraph("Ground structure (fem_gr_jo.dat): " + plural(m.n_node, "node") + ", " +
              plural(m.n_elem, "potential member") + " (" + std::to_string(design) + " design, " +
              std::to_string(m.n_elem - design) + " non-design), " + plural(m.n_prop, "property set") + ", " +
              plural(static_cast<int>(m.cases.size()), "load case") + ".");
  const std::vector<size_t> nodes = nodes_shown(*in.shown);
  r.paragraph("The frame reported: " + frame_name(in.shown->kind, in.shown->drawn, in.picture.threshold) + ", " +
              plural(static_cast<int>(nodes.size()), "node") + " and " +
              plural(static_cast<int>(members_shown(*in.shown).size()), "member") + ".");
  node_table(r, m, nodes);
  member_geometry_table(r, *in.shown);
  property_table(r, m);
  drawn_section_table(r, *in.shown->frame);
}

// --- loads ---


void combination_table(Report& r, const std::vector<Combination>& list, size_t cases) {
  ReportTable t{{"Name", "Kind", "Self-weight"}, {}, {}};
  for (size_t c = 0; c < cases; ++c) t.header.push_back("Case " + std::to_string(c + 1));
  t.numeric.assign(t.header.size(), true);
  t.numeric[0] = t.numeric[1] = false;
  for (const Combination& k : list) {
    Row row{k.name, limit_state_name(k.kind), num(k.self_weight)};
    for (size_t c = 0; c < cases; ++c) row.push_back(num(k.factor(c)));
    t.rows.push_back(row);
  }
  r.table("Load combinations (factors; ULS for the member checks, SLS for the deflection)", std::move(t));
}

// The pictures share a copy of the results, so that the report may be laid out after the window
// that made it has read others or gone.
using SharedStore = std::shared_ptr<const ResultStore>;

ReportPicture frame_picture(const SharedStore& store, ResultPicture p, double width_mm) {
  p.surface_width = 8400;
  p.surface_height = 8000;
  p.label_background = 15;  // white, as the page
  return {p.surface_width, p.surface_height, width_mm, [store, p](Canvas& c) {
            ResultDisplay display;
            display.draw(c, *store, p);
          }};
}

// The frame in grey under the supports, springs and loads of load case c, with its node numbers.
ResultPicture case_picture(const ReportInput& in, size_t c, const NamedView& view) {
  constexpr int grey = 8;
  ResultPicture p = in.picture;
  p.angles = view.angles;
  p.view = ViewWindow{4200, 4100, 6000, 6000};  // room round the frame for the arrows and supports
  if (p.element_colour.empty()) p.element_colour.assign(static_cast<size_t>(in.store->pn_elem) + 1, grey);
  for (int& colour : p.element_colour) colour = colour == not_drawn ? not_drawn : grey;
  p.deformed.clear();
  p.legend = {};
  p.node_numbers = true;
  p.element_numbers = false;
  p.conditions = case_conditions(in.model->cases[c]);
  return p;
}

std::vector<P3> node_points(const ModelFile& m, const std::vector<size_t>& nodes) {
  std::vector<P3> out;
  for (size_t i : nodes) out.push_back({m.nodes[i][0], m.nodes[i][1], m.nodes[i][2]});
  return out;
}

void loads_section(Report& r, const ReportInput& in, const SharedStore& store) {
  r.heading("Supports, springs and loads");
  const NamedView view = view_showing(node_points(*in.model, nodes_shown(*in.shown)));
  r.paragraph("Each load case is drawn on the " + view.name + " of the frame: a force as an arrow pointing at its node "
              "with its value in kN, a moment as a double-headed arrow along its axis (right-hand rule) with its value "
              "in kN m, a load along the line of sight as a circle round the node with a dot (towards you) or a cross "
              "(away); a fixed node on a hatched bar, a pinned node (translations held) on a triangle on a hatched "
              "bar, a node held in part on a triangle on rollers with the degrees of freedom held named under it, a "
              "spring as a zigzag along its axis (ending in a bar, or a circle for a rotation).");
  for (size_t c = 0; c < in.model->cases.size(); ++c) {
    const std::string name = "Load case " + std::to_string(c + 1);
    r.table(name + ": supports (fixed degrees of freedom) and springs to ground", supports_table(*in.model, c));
    r.table(name + ": loads at the nodes", loads_table(*in.model, c));
    r.picture(name + " on the " + view.name + ": supports, springs and loads (kN, kN m)" +
                  (in.loading.self_weight ? "; the self-weight is not drawn" : ""),
              frame_picture(store, case_picture(in, c, view), 120));
  }
  const Loading& l = in.loading;
  if (l.self_weight)
    r.paragraph("Self-weight: on, each member's area x " + num(l.density) + " kg/m3 x g " + num(gravity) +
                " m/s2 as a uniform load along it, towards " + l.direction +
                (in.shown->forces ? "; the frame weighs " + kn(in.shown->forces->weight) + " kN." : "."));
  else
    r.paragraph("Self-weight: off.");
  if (l.combinations.empty())
    r.paragraph("No load combinations: each load case is checked as it stands.");
  else
    combination_table(r, l.combinations, in.model->cases.size());
}

// --- optimisation ---

void optimisation_section(Report& r, const ReportInput& in) {
  r.heading("Optimisation");
  const AnalysisSettings& s = in.model->settings;
  ReportTable t{{"Setting", "Value"}, {}, {false, true}};
  t.rows = {{"Maximum diameter [mm]", num(s.max_diameter)},
            {"Initial value ratio (smallest relative area)", num(s.init_ratio)},
            {"Objective volume ratio", num(s.volume_ratio)},
            {"Move limit", num(s.move_limit)},
            {"Penalty factor", num(s.penalty)}};
  r.table("Settings of the model file's header", std::move(t));
  const std::vector<CyclePoint> history = convergence_history(*in.store);
  std::string last;
  if (!history.empty())
    last = ": compliance " + knm(history.back().compliance) + " kN m, volume ratio " + num(history.back().volume_ratio) +
           " at the last";
  r.paragraph(plural(in.store->pn_cyc, "cycle") + " run" + last + ".");
  ReportPicture p{12000, 6000, 160, [history](Canvas& c) { draw_convergence(c, history, 12000, 6000); }};
  r.picture("Convergence: compliance (kN m, logarithmic, left) and volume ratio (right) against cycle", std::move(p));
}

// --- the frame's pictures ---

// The sides of the box round the frame's nodes.
std::string overall_dimensions(const ModelFile& m, const std::vector<size_t>& nodes) {
  if (nodes.empty()) return "";
  std::string text = "Overall dimensions (the box round its nodes):";
  for (size_t d = 0; d < 3; ++d) {
    const auto [low, high] = std::minmax_element(nodes.begin(), nodes.end(),
                                                 [&](size_t a, size_t b) { return m.nodes[a][d] < m.nodes[b][d]; });
    text += std::string(d ? "," : "") + " " + dof_names[d] + " " + num(m.nodes[*high][d] - m.nodes[*low][d]) + " mm";
  }
  return text + ".";
}

void frame_section(Report& r, const ReportInput& in, const SharedStore& store) {
  r.heading("The frame");
  r.paragraph("Shown: " + frame_name(in.shown->kind, in.shown->drawn, in.picture.threshold) + ", coloured as on screen. " +
              overall_dimensions(*in.model, nodes_shown(*in.shown)));
  ResultPicture shown = in.picture;
  shown.node_numbers = shown.element_numbers = true;
  r.picture("The view as shown, with the node numbers (blue) and the member numbers (red) of the tables",
            frame_picture(store, shown, 160));
  for (const NamedView& v : plane_views()) {
    ResultPicture p = shown;
    p.angles = v.angles;
    p.view = post_view;
    p.dimensions = true;
    r.picture("The " + v.name + ", with the overall dimensions of the frame", frame_picture(store, p, 120));
  }
}

// --- results ---

// The loads applied in state s: its cases' nodal forces (factored in a combination) and the
// self-weight, N along L, W, H.
std::array<double, 3> applied_load(const ReportInput& in, size_t s) {
  const StateLoads loads = state_loads(*in.shown->frame, in.shown->forces->states[s], in.loading);
  std::array<double, 3> sum{};
  for (const auto& load : loads.nodal) std::transform(sum.begin(), sum.end(), load.begin(), sum.begin(), std::plus<>());
  std::array<double, 3> unit{};
  direction_vector(in.loading.direction, unit);
  const double weight = loads.weight_factor * loads.frame_weight;
  std::transform(sum.begin(), sum.end(), unit.begin(), sum.begin(), [weight](double f, double u) { return f + weight * u; });
  return sum;
}

void reaction_table(Report& r, const ReportInput& in, size_t s) {
  const FrameForces& f = *in.shown->forces;
  ReportTable t{{"Node", "R_L [kN]", "R_W [kN]", "R_H [kN]", "M_L [kN m]", "M_W [kN m]", "M_H [kN m]"}, {}, {}};
  std::array<double, 3> sum{};
  for (size_t i = 0; i < in.model->nodes.size(); ++i) {
    if (!is_supported(*in.model, i)) continue;
    const auto& reaction = f.by_state[s].reactions[i];
    Row row{std::to_string(i + 1)};
    for (size_t d = 0; d < 3; ++d) sum[d] += reaction[d];
    for (size_t d = 0; d < 3; ++d) row.push_back(kn(reaction[d]));
    for (size_t d = 3; d < 6; ++d) row.push_back(knm(reaction[d]));
    t.rows.push_back(row);
  }
  const std::array<double, 3> load = applied_load(in, s);
  t.rows.push_back({"applied", kn(load[0]), kn(load[1]), kn(load[2]), "", "", ""});
  t.rows.push_back({"sum", kn(sum[0]), kn(sum[1]), kn(sum[2]), "", "", ""});
  t.last_row_total = true;
  r.table("Reactions, " + f.states[s].name + " (the sum balances the applied loads: equal and opposite)", std::move(t));
}

void displacement_table(Report& r, const ReportInput& in) {
  const FrameForces& f = *in.shown->forces;
  const double limit = in.loading.deflection_limit;
  ReportTable t{{"State", "Node", "L [mm]", "W [mm]", "H [mm]", "Displacement [mm]", "Limit [mm]", "Ratio"}, {}, {}};
  t.numeric.assign(t.header.size(), true);
  t.numeric[0] = false;
  for (size_t s = 0; s < f.states.size(); ++s) {
    const Deflection& d = in.shown->deflections[s];
    if (d.moved.node < 0) continue;
    const auto& p = in.model->nodes[static_cast<size_t>(d.moved.node)];
    const bool checked = limit > 0 && f.states[s].service;
    t.rows.push_back({f.states[s].name, std::to_string(d.moved.node + 1), num(p[0]), num(p[1]), num(p[2]), num(d.moved.value),
                      checked ? num(limit) : "-", checked ? num(d.ratio) : "-"});
  }
  r.table("Largest displacement of each state, and the deflection check", std::move(t));
}

void stability_table(Report& r, const ReportInput& in) {
  ReportTable t{{"State", "alpha_cr", "Node moving most", "phi", "Sway governing"}, {}, {false, true, true, true, false}};
  for (const StateStability& s : in.shown->stability) {
    const FrameBuckling& b = s.buckling;
    t.rows.push_back({in.shown->forces->states[static_cast<size_t>(s.state)].name, b.alpha > 0 ? num(b.alpha) : "-",
                      b.mode_node >= 0 ? std::to_string(b.mode_node + 1) : "-", "1/" + num(1 / s.phi),
                      s.buckles() ? "buckles" : s.direction.empty() ? "-" : s.direction});
  }
  r.table("Stability of each ultimate state: its critical load factor (\"-\": nothing in compression), its sway "
          "imperfection and the direction of the sway that governs its largest utilisation",
          std::move(t));
}

std::string section_text(const ShownFrame& f, size_t j) {
  const MemberSection& s = f.sections[j];
  if (!s.name.empty()) return s.name;
  switch (s.shape) {
    case MemberSection::Shape::circle: return "rod " + num(s.outer);
    case MemberSection::Shape::tube: return "tube " + num(s.outer) + "x" + num(s.wall);
    case MemberSection::Shape::general: break;
  }
  return "drawn, set " + std::to_string(f.model.elements[j].prop);
}

// Members by utilisation, largest first.
std::vector<size_t> members_by_utilisation(const Evaluated& e) {
  std::vector<size_t> order = members_shown(e);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return e.checks->envelope[a].utilisation > e.checks->envelope[b].utilisation;
  });
  return order;
}

Row member_buckling_row(const ShownFrame& f, const FrameChecks& checks, size_t j) {
  const MemberCheck& k = checks.governing(j);
  const ModelFileElement& el = f.model.elements[j];
  const bool round = k.section_class > 0;
  const bool buckles = round || k.ratio_of(Governs::buckling).has_value();
  return {std::to_string(f.element[j]),
          std::to_string(el.node1) + "-" + std::to_string(el.node2),
          section_text(f, j),
          num(member_length(f.model, j)),
          std::to_string(checks.chain(j)),
          num(k.l_cr),
          round ? std::to_string(k.section_class) : "-",
          buckles ? num(k.lambda_bar) : "-",
          buckles ? num(k.chi) : "-"};
}

// A resistance a check used, "-" where none did.
std::string resistance(double value, bool moment) {
  if (!(value > 0)) return "-";
  return moment ? knm(value) : kn(value);
}

Row member_resistance_row(const Evaluated& e, size_t j) {
  const MemberCheck& k = e.checks->governing(j);
  const MemberEnvelope& env = e.checks->envelope[j];
  return {std::to_string(e.frame->element[j]),
          e.forces->states[static_cast<size_t>(env.state)].key,
          kn(k.axial),
          resistance(k.n_rd, false),
          resistance(k.n_b_rd, false),
          knm(k.moment),
          resistance(k.m_rd, true),
          resistance(k.m_n_rd, true),
          resistance(k.v_rd, false),
          num(env.utilisation),
          governs_name(env.governs)};
}

void member_table(Report& r, const ReportInput& in) {
  const Evaluated& e = *in.shown;
  const std::vector<size_t> order = members_by_utilisation(e);
  ReportTable t{{"Member", "Nodes", "Section [mm]", "Length [mm]", "Chain", "L_cr [mm]", "Class", "lambda_bar", "chi"}, {}, {}};
  t.numeric.assign(t.header.size(), true);
  t.numeric[1] = t.numeric[2] = false;
  ReportTable checked{{"Member", "State", "N_Ed [kN]", "N_pl,Rd [kN]", "N_b,Rd [kN]", "M_Ed [kN m]", "M_Rd [kN m]",
                       "M_N,Rd [kN m]", "V_Rd [kN]", "Utilisation", "Check"},
                      {},
                      {}};
  checked.numeric.assign(checked.header.size(), true);
  checked.numeric[1] = checked.numeric[10] = false;
  for (size_t j : order) {
    t.rows.push_back(member_buckling_row(*e.frame, *e.checks, j));
    checked.rows.push_back(member_resistance_row(e, j));
  }
  const size_t hidden = e.frame->element.size() - order.size();
  r.paragraph("Members by utilisation, in the state that governs each (N_Ed tension positive, M_Ed the largest "
              "resultant bending moment; a round member's N_pl,Rd is also its N_t,Rd, its M_Rd is reduced for shear "
              "above half of V_Rd, and M_N,Rd is that of a class 1 or 2 tube under N_Ed)" +
              (hidden ? "; " + plural(static_cast<int>(hidden), "member") + " hidden as thin at the threshold " +
                            plain_text(in.picture.threshold) + " are not listed and not counted."
                      : "."));
  r.table("Members: buckling lengths", std::move(t));
  r.table("Members: forces, resistances and utilisation", std::move(checked));
}

// Every check's ratio of every member listed, in every state; a check not made for a member "-".
void ratio_appendix(Report& r, const Evaluated& e) {
  static constexpr Governs shown[] = {Governs::tension,     Governs::compression, Governs::bending,
                                      Governs::axial_bending, Governs::shear,     Governs::buckling,
                                      Governs::interaction, Governs::slenderness, Governs::yield,
                                      Governs::euler};
  ReportTable t{{"Member", "State"}, {}, {}};
  for (Governs g : shown) t.header.push_back(governs_name(g));
  t.numeric.assign(t.header.size(), true);
  t.numeric[1] = false;
  for (size_t j : members_by_utilisation(e))
    for (size_t s = 0; s < e.checks->by_state.size(); ++s) {
      const MemberCheck& k = e.checks->by_state[s][j];
      Row row{std::to_string(e.frame->element[j]), e.forces->states[s].key};
      for (Governs g : shown) row.push_back(k.ratio_of(g) ? num(*k.ratio_of(g)) : "-");
      t.rows.push_back(row);
    }
  r.heading("Appendix: the ratio of every check");
  r.paragraph("Effect over resistance of each check of each member listed above, in every state, as the .csv export gives them for the governing state.");
  r.table("Ratios of the checks per member and state", std::move(t));
}

void bill_table(Report& r, const Bill& bill) {
  ReportTable t{{"Section", "Pieces", "Cut lengths [mm]", "Total length [mm]", "Mass [kg]"}, {}, {}};
  t.numeric = {false, true, false, true, true};
  for (const BillLine& line : bill.lines) {
    std::string cuts;
    for (double c : line.cut_lengths) cuts += (cuts.empty() ? "" : " ") + report_number(c, 4);
    t.rows.push_back({line.section, std::to_string(line.cut_lengths.size()), cuts, num(line.total_length), num(line.mass)});
  }
  t.rows.push_back({"total", std::to_string(bill.pieces()), "", "", num(bill.mass())});
  t.last_row_total = true;
  r.table("Bill of materials (centre-line lengths between nodes)", std::move(t));
}

// How light the frame could be: the least-volume pin-jointed truss on the ground structure.
void plastic_bound_paragraph(Report& r, const Evaluated& e) {
  if (!e.bound) return;
  r.subheading("Plastic bound");
  const PlasticBound& b = *e.bound;
  if (!b.problem.empty()) return r.paragraph("None: " + b.problem + ".");
  r.paragraph("The lightest pin-jointed truss on this ground structure that carries every ultimate state at f_y / "
              "gamma_M0 in tension and compression (no buckling, no self-weight, no bending): volume " +
              num(b.volume) + " mm3, mass " + num(b.mass) + " kg, " + std::to_string(b.members) +
              " members. No frame of these members is lighter unless it breaks those assumptions.");
}

void results_section(Report& r, const ReportInput& in) {
  r.heading("Results");
  const Evaluated& e = *in.shown;
  if (e.forces == nullptr) {
    r.paragraph("The frame shown cannot be analysed: " + in.problem);
    return;
  }
  r.paragraph(summary_text(*e.frame, e.summary, frame_name(e.kind, e.drawn, in.picture.threshold)));
  r.subheading("Reactions");
  for (size_t k = 0; k < e.forces->states.size(); ++k) reaction_table(r, in, k);
  r.subheading("Displacements");
  displacement_table(r, in);
  r.subheading("Stability");
  stability_table(r, in);
  plastic_bound_paragraph(r, e);
  r.subheading("Member checks");
  member_table(r, in);
  if (e.built && e.built->bill) {
    r.subheading("Bill of materials");
    r.paragraph("Mass " + num(e.built->bill->mass()) + " kg at " + num(in.loading.density) + " kg/m3.");
    bill_table(r, *e.built->bill);
  }
}

// --- method ---

void method_section(Report& r, const ReportInput& in) {
  const CheckSettings& c = in.steel;
  r.heading("Method");
  r.paragraph("An analysis of the frame shown (6 degrees of freedom per node, beam elements): every design beam a "
              "solid circle of its diameter (or the standard section chosen), every non-design bar its drawn section. "
              "Each member is checked in every ultimate state to EN 1993-1-1 under the state's second-order forces; "
              "its utilisation is the largest ratio of effect to resistance. Deflections are first order.");
  r.paragraph("Round members: cross-section class (Table 5.2); tension and compression N / (A f_y / gamma_M0) (6.2.3, "
              "6.2.4); bending with the resultant moment against M_pl,Rd or M_el,Rd (6.2.5); shear with torsion "
              "(6.2.6, 6.2.7; shear area 2A/pi for a tube, 0.9A for a rod); axial force and bending (6.2.9); flexural "
              "buckling over L_cr (6.3.1; curve a for hot-finished tubes, a0 in S460, c for cold-formed tubes and "
              "rods); the interaction of compression and the resultant moment, with one C_m (6.3.3, Annex B); and "
              "the slenderness limit L_cr / i. f_y follows the thickness (Table 3.1): a tube's wall, a rod's "
              "diameter.");
  r.paragraph("Non-design bars (drawn sections): the largest elastic normal stress at the walls' outer corners against "
              "f_y / gamma_M0, and flexural buckling about the weaker principal axis (curve b for a closed section, c "
              "for an open one).");
  r.paragraph("Buckling members: elements in line buckle together through every node that is not held across them in "
              "two directions (by supports of translation in the state's load case, or by members not in line); "
              "L_cr = K x the buckling member's length. One with an end that nothing holds sways, and takes C_m = 0.9 "
              "(Table B.3).");
  ReportTable t{{"Setting", "Value"}, {}, {false, false}};
  t.rows = {{"Steel grade", c.grade},
            {"Yield stress f_y [N/mm2], up to 40 mm thick", num(c.yield)},
            {"Yield stress f_y [N/mm2], over 40 mm thick", num(c.yield_at(80))},
            {"Tubes", c.cold_formed ? "cold-formed" : "hot-finished"},
            {"gamma_M0", num(c.gamma_m0)},
            {"gamma_M1", num(c.gamma_m1)},
            {"Buckling length factor K", num(c.k_factor)},
            {"Slenderness limit L_cr / i", c.slenderness_limit > 0 ? num(c.slenderness_limit) : "none"},
            {"Density [kg/m3]", num(in.loading.density)},
            {"Self-weight", in.loading.self_weight ? "on, towards " + in.loading.direction : "off"},
            {"Deflection limit [mm]", in.loading.deflection_limit > 0 ? num(in.loading.deflection_limit) : "none"}};
  r.table("Factors and settings", std::move(t));
  r.paragraph("Stability of the frame: the critical load factor alpha_cr of each ultimate state, from a linear buckling "
              "analysis under its axial forces (each member in compression cut into four beams; members hidden as thin "
              "take no axial force). A state with alpha_cr at most 1 buckles the frame: every member in compression in "
              "it fails by frame buckling, with the ratio 1 / alpha_cr.");
  r.paragraph("Second-order forces (5.2.2(3)b): each ultimate state is analysed in the displaced geometry, the geometric "
              "stiffness of the axial forces iterated until they settle, with the equivalent sway imperfection (5.3.2) "
              "phi = phi0 alpha_h alpha_m, phi0 = 1/200, alpha_h = 2 / sqrt(h) within 2/3 to 1 (h the frame's height "
              "in m along the self-weight's direction), alpha_m = 1: horizontal forces phi times each node's load "
              "along that direction, applied along each of the four directions across it in turn. Each member is "
              "checked in the direction that governs it, and its forces in the tables are that direction's. Member "
              "imperfections are left to the buckling checks, over the members' system lengths.");
  r.paragraph("Neglected: the normal stresses of torsion; for drawn sections also shear and torsion "
              "stresses, local buckling of thin walls, lateral-torsional and torsional buckling. Lengths are "
              "centre-line lengths between nodes; joints are not designed.");
}

// Convergence picture: a frame, ticked and labelled axes (cycle below, compliance left, volume
// ratio right) and the two series.
constexpr double margin_left = 1500, margin_right = 1300, margin_top = 700, margin_bottom = 900, tick = 90;

// Where a value lies along an axis, 0 at its minimum to 1 at its maximum.
double along(const PlotAxis& a, double v) {
  if (a.log) return (std::log10(v) - std::log10(a.min)) / (std::log10(a.max) - std::log10(a.min));
  return a.max > a.min ? (v - a.min) / (a.max - a.min) : 0.5;
}

// The values that can be drawn: a cycle without a value leaves a gap in its series.
std::vector<double> finite(const std::vector<double>& values) {
  std::vector<double> out;
  std::copy_if(values.begin(), values.end(), std::back_inserter(out), [](double v) { return std::isfinite(v); });
  return out;
}

struct PlotFrame {
  double x0, x1, y0, y1;  // left, right, bottom, top, twips
};

// The series' line and its axis's ticks and labels on the left or the right of the frame.
void plot_series(Canvas& c, const PlotFrame& f, const PlotAxis& cycles, const std::vector<double>& x,
                 const std::vector<double>& y, const PlotAxis& axis, bool left, int colour) {
  bool started = false;
  double px = 0, py = 0;
  for (size_t k = 0; k < x.size(); ++k) {
    if (!std::isfinite(y[k]) || (axis.log && !(y[k] > 0))) continue;
    const double sx = f.x0 + along(cycles, x[k]) * (f.x1 - f.x0), sy = f.y0 - along(axis, y[k]) * (f.y0 - f.y1);
    if (started) c.line(px, py, sx, sy, colour);
    px = sx, py = sy, started = true;
  }
  c.set_text_colour(colour);
  const double side = left ? f.x0 : f.x1;
  for (const PlotTick& t : axis.ticks) {
    const double ty = f.y0 - along(axis, t.value) * (f.y0 - f.y1);
    c.line(side, ty, side + (left ? -tick : tick), ty, 0);
    c.move_to(left ? 80 : f.x1 + 2 * tick, ty - 110);
    c.text(t.label);
  }
}

// Whole cycles from the first to the last, at most ten ticks.
PlotAxis cycle_ticks(int first, int last) {
  PlotAxis a{static_cast<double>(first), static_cast<double>(std::max(last, first + 1)), false, {}};
  const int step = std::max(1, (static_cast<int>(a.max) - first + 9) / 10);
  for (int k = first; k <= a.max; k += step) a.ticks.push_back({static_cast<double>(k), std::to_string(k)});
  return a;
}

void cycle_axis(Canvas& c, const PlotFrame& f, const PlotAxis& cycles) {
  c.set_text_colour(0);
  for (const PlotTick& t : cycles.ticks) {
    const double tx = f.x0 + along(cycles, t.value) * (f.x1 - f.x0);
    c.line(tx, f.y0, tx, f.y0 + tick, 0);
    c.move_to(tx - 60, f.y0 + 2 * tick);
    c.text(t.label);
  }
  c.move_to((f.x0 + f.x1) / 2 - 200, f.y0 + 420);
  c.text("cycle");
}

}  // namespace

void draw_convergence(Canvas& c, const std::vector<CyclePoint>& history, double width, double height) {
  c.clear();
  c.rect(0, 0, width, height, 15, true);
  c.set_font_size(9);
  c.set_line_width(1);
  c.set_line_style(LineStyle::solid);
  const PlotFrame f{margin_left, width - margin_right, height - margin_bottom, margin_top};
  c.rect(f.x0, f.y1, f.x1, f.y0, 0, false);
  if (history.empty()) {
    c.move_to(f.x0 + 200, f.y1 + 200);
    c.text("No cycle with a summary line.");
    return;
  }
  std::vector<double> x, compliance, volume;
  for (const CyclePoint& p : history) {
    x.push_back(p.cycle);
    compliance.push_back(p.compliance / 1e6);  // kN m
    volume.push_back(p.volume_ratio);
  }
  const PlotAxis cycles = cycle_ticks(history.front().cycle, history.back().cycle);
  cycle_axis(c, f, cycles);
  plot_series(c, f, cycles, x, compliance, value_axis(finite(compliance), true), true, 12);
  plot_series(c, f, cycles, x, volume, value_axis(finite(volume), false), false, 10);
  c.set_text_colour(12);
  c.move_to(80, 80);
  c.text("compliance [kN m]");
  c.set_text_colour(10);
  c.move_to(f.x1 - 600, 80);
  c.text("volume ratio");
}

ReportTable supports_table(const ModelFile& m, size_t c) {
  const ModelFileCase& lc = m.cases[c];
  ReportTable t{{"Node", "Fixed", "k_L [kN/mm]", "k_W [kN/mm]", "k_H [kN/mm]", "k_rL [kN m/rad]", "k_rW [kN m/rad]",
                 "k_rH [kN m/rad]"},
                {},
                {}};
  t.numeric.assign(t.header.size(), true);
  t.numeric[1] = false;
  for (size_t i = 0; i < m.nodes.size(); ++i) {
    std::string fixed;
    bool any = false;
    for (size_t d = 0; d < 6; ++d) {
      if (lc.fixed[i][d]) fixed += (fixed.empty() ? "" : " ") + std::string(dof_names[d]);
      any = any || lc.fixed[i][d] || lc.springs[i][d] != 0;
    }
    if (!any) continue;
    Row row{std::to_string(i + 1), fixed.empty() ? "-" : fixed};
    for (size_t d = 0; d < 3; ++d) row.push_back(kn(lc.springs[i][d]));
    for (size_t d = 3; d < 6; ++d) row.push_back(knm(lc.springs[i][d]));
    t.rows.push_back(row);
  }
  return t;
}

ReportTable loads_table(const ModelFile& m, size_t c) {
  const ModelFileCase& lc = m.cases[c];
  ReportTable t{{"Node", "F_L [kN]", "F_W [kN]", "F_H [kN]", "M_L [kN m]", "M_W [kN m]", "M_H [kN m]"}, {}, {}};
  for (size_t i = 0; i < m.nodes.size(); ++i) {
    if (std::all_of(lc.loads[i].begin(), lc.loads[i].end(), [](double v) { return v == 0; })) continue;
    Row row{std::to_string(i + 1)};
    for (size_t d = 0; d < 3; ++d) row.push_back(kn(lc.loads[i][d]));
    for (size_t d = 3; d < 6; ++d) row.push_back(knm(lc.loads[i][d]));
    t.rows.push_back(row);
  }
  return t;
}

Report make_report(const ReportInput& in) {
  Report r;
  title_block(r, in);
  model_section(r, in);
  const auto store = std::make_shared<const ResultStore>(*in.store);
  loads_section(r, in, store);
  optimisation_section(r, in);
  frame_section(r, in, store);
  results_section(r, in);
  method_section(r, in);
  if (in.shown->checks) ratio_appendix(r, *in.shown);
  return r;
}
