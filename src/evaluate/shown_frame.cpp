// The design on screen as a frame: the model file checked against the result store, and each
// member given the section of the cycle shown.
#include "evaluate/shown_frame.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "formats/errors.h"
#include "formats/numtext.h"

namespace {
std::string mismatch(const std::string& model_path, const std::string& result_path, const std::string& what) {
  return model_path + " does not describe the mesh of " + result_path + ": " + what;
}

// The end points of section s's lines; none for s = 0 (no sketch).
std::vector<SketchPoint> sketch_points(const SectionTable& t, int s) {
  std::vector<SketchPoint> points;
  for (int l = 1; s > 0 && l <= t.n_line(s); ++l)
    for (int end = 1; end <= 2; ++end) {
      const int p = t.line_pnt(s, l, end);
      points.push_back({t.pnt_xy(s, p, 1), t.pnt_xy(s, p, 2)});
    }
  return points;
}
}  // namespace

double frame_size(const ModelFile& m) {
  double size = 0;
  for (int k = 0; k < 3 && !m.nodes.empty(); ++k) {
    const auto [lo, hi] = std::minmax_element(m.nodes.begin(), m.nodes.end(),
                                              [k](const auto& a, const auto& b) { return a[static_cast<size_t>(k)] < b[static_cast<size_t>(k)]; });
    size = std::max(size, (*hi)[static_cast<size_t>(k)] - (*lo)[static_cast<size_t>(k)]);
  }
  return size;
}

double member_length(const ModelFile& m, size_t j) {
  const auto& a = m.nodes[static_cast<size_t>(m.elements[j].node1 - 1)];
  const auto& b = m.nodes[static_cast<size_t>(m.elements[j].node2 - 1)];
  return std::hypot(b[0] - a[0], b[1] - a[1], b[2] - a[2]);
}

std::vector<Section> ShownFrame::section_values() const {
  std::vector<Section> values;
  for (const MemberSection& s : sections) values.push_back(s.values);
  return values;
}

std::string model_mismatch(const ResultStore& r, const ModelFile& m, const std::string& model_path,
                           const std::string& result_path) {
  if (m.n_node != r.pn_node || m.n_elem != r.pn_elem)
    return mismatch(model_path, result_path,
                    std::to_string(m.n_node) + " nodes and " + std::to_string(m.n_elem) + " elements against " +
                        std::to_string(r.pn_node) + " and " + std::to_string(r.pn_elem));
  for (int e = 1; e <= m.n_elem; ++e) {
    const ModelFileElement& el = m.elements[static_cast<size_t>(e - 1)];
    const bool non_design = m.props[static_cast<size_t>(el.prop - 1)][0] > 0;
    if (el.node1 != r.pe_nod(e, 1) || el.node2 != r.pe_nod(e, 2) || non_design != r.is_non_design(e))
      return mismatch(model_path, result_path,
                      "element " + std::to_string(e) + " joins nodes " + std::to_string(el.node1) + " and " +
                          std::to_string(el.node2) + (non_design ? " as a non-design bar" : " as a design beam") +
                          " in " + model_path + ", nodes " + std::to_string(r.pe_nod(e, 1)) + " and " +
                          std::to_string(r.pe_nod(e, 2)) + (r.is_non_design(e) ? " as a non-design bar" : " as a design beam") +
                          " in " + result_path);
  }
  // The result file keeps six significant digits: a node further off than that is another mesh.
  const double tolerance = 1e-5 * std::max(frame_size(m), 1.0);
  for (int i = 1; i <= m.n_node && r.pn_cyc >= 1; ++i)
    for (int k = 0; k < 3; ++k) {
      const double a = m.nodes[static_cast<size_t>(i - 1)][static_cast<size_t>(k)];
      if (!(std::fabs(a - r.pnode_xyz(1, i, k + 1)) <= tolerance + 1e-5 * std::fabs(a))) {
        const auto& m_at = m.nodes[static_cast<size_t>(i - 1)];
        return mismatch(model_path, result_path,
                        "node " + std::to_string(i) + " lies at (" + plain_text(m_at[0]) + ", " + plain_text(m_at[1]) +
                            ", " + plain_text(m_at[2]) + ") in " + model_path + ", at (" + plain_text(r.pnode_xyz(1, i, 1)) +
                            ", " + plain_text(r.pnode_xyz(1, i, 2)) + ", " + plain_text(r.pnode_xyz(1, i, 3)) +
                            ") in " + result_path);
      }
    }
  return {};
}

ShownFrame frame_of(const ModelFile& m, const std::vector<double>& diameters) {
  ShownFrame f;
  f.model = m;
  for (size_t j = 0; j < m.elements.size(); ++j) {
    const auto& v = m.props[static_cast<size_t>(m.elements[j].prop - 1)];
    f.sections.push_back(v[0] < 0 ? circle_member(diameters[j]) : general_member({v[2], v[3], v[4], v[5]}));
    f.element.push_back(static_cast<int>(j + 1));
    f.fibres.emplace_back();
    f.drawn.emplace_back();
  }
  return f;
}

ShownFrame shown_frame(const ResultStore& r, const ModelFile& m, int c) {
  if (c < 1 || c > r.pn_cyc) throw RunTimeError(err::subscript, "cycle " + std::to_string(c));
  std::vector<double> diameters;
  for (int e = 1; e <= m.n_elem; ++e) diameters.push_back(r.pe_dia(c, e));
  ShownFrame f = frame_of(m, diameters);
  const std::vector<int> sketch = element_sections(r);
  std::map<int, std::shared_ptr<const DrawnSectionProperties>> drawn;  // by section, made once
  for (int e = 1; e <= m.n_elem; ++e) {
    if (!r.is_non_design(e)) continue;
    const int s = sketch[static_cast<size_t>(e)];
    f.fibres[static_cast<size_t>(e - 1)] = sketch_points(r.sections, s);
    if (s < 1) continue;
    auto& props = drawn[s];
    if (!props) props = std::make_shared<const DrawnSectionProperties>(drawn_section_properties(r.sections, s));
    f.drawn[static_cast<size_t>(e - 1)] = props;
  }
  return f;
}

ShownFrame with_members(const ShownFrame& f, const std::vector<char>& keep) {
  ShownFrame out;
  out.model = f.model;
  out.model.elements.clear();
  for (size_t j = 0; j < f.element.size(); ++j)
    if (keep[j]) {
      out.model.elements.push_back(f.model.elements[j]);
      out.sections.push_back(f.sections[j]);
      out.element.push_back(f.element[j]);
      out.fibres.push_back(f.fibres[j]);
      out.drawn.push_back(j < f.drawn.size() ? f.drawn[j] : nullptr);
    }
  out.model.n_elem = static_cast<int>(out.model.elements.size());
  return out;
}
