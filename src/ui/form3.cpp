// The cross-section editor window: its controls, the four editing modes, the thickness
// input, typical shapes, "Return" and its file procedures.
#include "ui/form3.h"

#include <QFont>
#include <QLabel>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "formats/json.h"
#include "formats/numtext.h"
#include "section/section_props.h"
#include "section/sketch_edit.h"
#include "section/typical_shapes.h"
#include "ui/form2.h"
#include "ui/qt_controls.h"
#include "ui/shell.h"

namespace {
QString sci4(float v) { return QString::fromStdString(format_number(v, pattern::sci4)); }
}  // namespace

// The editor proper is 8685 twips wide; the column beyond it holds the section about its
// centroid and the status line.
Form3::Form3() : FormWindow("Form3", "MARULLA", 11865, 8085) {
  Label1 = make_label(this, "Label1", "Cross Section of Beam", {72, 60, 4068, 408});
  QFont heading = Label1->font();
  heading.setPointSize(14);
  heading.setBold(true);
  Label1->setFont(heading);

  Frame3 = make_frame(this, "Frame3", "Coordinate of Point", {5244, 48, 3312, 552});
  make_label(Frame3, "Label2", "Y=", {96, 264, 300, 240});
  Text2 = make_text(Frame3, "Text2", "0", {396, 228, 1260, 288});
  make_label(Frame3, "Label3", "Z=", {1716, 264, 300, 240});
  Text3 = make_text(Frame3, "Text3", "0", {2016, 228, 1260, 288});
  Frame3->hide();

  Label38 = make_label(this, "Label38", "Unit：mm", {7512, 612, 1116, 216});

  Frame1 = make_frame(this, "Frame1", "Selection", {6828, 2160, 1812, 2148});
  Option1 = make_option(Frame1, "Option1", "Make Point", {120, 300, 1620, 300},
                        "Create Points, which Compose Apexes of Cross Section, by Mouse Left Button Down");
  Option2 = make_option(Frame1, "Option2", "Move Point", {120, 660, 1620, 300},
                        "Move Points, which Compose Apexes of Cross Section, by Mouse Left Button Down and Drag");
  Option3 = make_option(Frame1, "Option3", "Make   Line", {120, 1020, 1620, 300},
                        "Create Line between Two Points Selected by Mouse Left Button Down");
  Option5 = make_option(Frame1, "Option5", "Delete Line", {120, 1380, 1620, 300},
                        "Delete Line Selected by Mouse Left Button Down");
  Check1 = make_check(Frame1, "Check1", "Typical Shapes", {120, 1740, 1620, 300},
                      "Select Prepared Typical Shapes of Cross Section");

  Frame2 = make_frame(this, "Frame2", "Thickness", {7092, 4428, 1416, 912});
  Text1 = make_text(Frame2, "Text1", "1", {120, 360, 600, 330});
  Command2 = make_button(Frame2, "Command2", "OK", {780, 330, 540, 420}, "Input Thickness of This Created Line");
  Frame2->hide();

  Command1 = make_button(this, "Command1", "Return", {7104, 5952, 1416, 444}, "Return to Previous Main Window");
  Label40 = make_label(this, "Label40", "", {6828, 900, 1812, 1200});
  Label40->setToolTip("Section Properties as Drawn: Area, Second Moments about W and H, Torsion Constant");
  Label41 = make_label(this, "Label41", "", {8760, 900, 3000, 2520});
  Label41->setToolTip(
      "Section Properties about the Centroid: Centroid, Second Moments and Product Moment, Principal Second "
      "Moments and the Angle of I1 from W, St Venant Torsion Constant");
  Label60 = make_label(this, "Label60", "", {8760, 3480, 3000, 3420});
  Label60->setWordWrap(true);
  Label60->setToolTip("What the Analysis Changes by Taking the Section as Drawn");
  make_typical_shape_panel();
  wire();
}

void Form3::make_typical_shape_panel() {
  Frame4 = make_frame(this, "Frame4", "Typical Cross Sectional Shapes", {24, 7008, 8628, 1080});
  Option4 = make_option(Frame4, "Option4", "Rectangular：", {120, 300, 1560, 300});
  Option4->setChecked(true);
  make_label(Frame4, "Label4", "Width=", {1740, 330, 780, 270});
  Text4 = make_text(Frame4, "Text4", "100", {2520, 300, 840, 300});
  make_label(Frame4, "Label5", "Height=", {3480, 330, 780, 270});
  Text5 = make_text(Frame4, "Text5", "100", {4260, 300, 840, 300});
  Option6 = make_option(Frame4, "Option6", "Cricle：", {120, 660, 1560, 300});
  make_label(Frame4, "Label6", "Radius=", {1740, 690, 780, 270});
  Text6 = make_text(Frame4, "Text6", "50", {2520, 660, 840, 300});
  make_label(Frame4, "Label7", "Thickness=", {5280, 330, 1020, 270});
  Text7 = make_text(Frame4, "Text7", "1", {6300, 300, 840, 300});
  Command3 = make_button(Frame4, "Command3", "Create New Shape", {5280, 630, 3180, 360},
                         "Create Left Defined Typical Cross Section, and,  Input Thickness of These All Lines");
  Frame4->hide();
}

// Every handler of the window, in the order of its controls.
void Form3::wire() {
  on_edit(Text2, this, &Form3::Text2_Change);
  on_edit(Text3, this, &Form3::Text2_Change);
  on_click(Option1, this, &Form3::Option1_Click);
  on_click(Option2, this, &Form3::Option2_Click);
  on_click(Option3, this, &Form3::Option3_Click);
  on_click(Option5, this, &Form3::Option5_Click);
  on_click(Check1, this, &Form3::Check1_Click);
  on_edit(Text1, this, &Form3::Text1_Change);
  on_click(Command2, this, &Form3::Command2_Click);
  on_click(Command1, this, &Form3::Command1_Click);
  on_click(Command3, this, &Form3::Command3_Click);
}

void Form3::Form_Load() {
  table.prepare();
  table.n_sec = 1;
  map = SketchMap{};
  const SectionHandOver record = handed_over();
  const int s = record.n_gr - record.n_gr_m;
  if (s > max_sections) raise_error(err::capacity, "section " + std::to_string(s) + " of at most 200");
  if (s < 1) raise_error(err::subscript, "section " + std::to_string(s));
  // A project whose first record is a non-design bar has no file yet: an empty table.
  std::error_code ec;
  if (record.n_gr >= 1 && std::filesystem::exists(section_file_name, ec))
    table = with_section_file_advice([] { return read_section_file(); });
  sec_no = static_cast<int16_t>(s);
  if (table.n_sec < sec_no) {
    table.n_sec = sec_no;
    table.set_empty(sec_no);
  }
  pick_pnt = pick_line = line_first = 0;
  line_open = drag_on = drawn_once = 0;
}

void Form3::show_for_non_design_bar() {
  try {
    if (auto* existing = static_cast<Form3*>(shell().find("Form3"))) existing->Form_Load();
    shell().show("Form3");
  } catch (const RunTimeError& e) {
    // Without its section the editor cannot open; the modelling window, which hid itself for
    // the editor, is shown again and finishes its "OK".
    shell().unload("Form3");
    open_modelling();
    report_error(e.what());
  }
}

void Form3::back_to_modelling() {
  shell().unload("Form3");
  open_modelling().Grnd();
}

void Form3::Form_Unload() {
  // A section that "Return" would accept is saved as "Return" saves it; anything less is left
  // unwritten, as it would be had the user never opened the editor.
  if (table.n_line(sec_no) >= 1) return Command1_Click();
  back_to_modelling();
}

void Form3::redraw() {
  draw_sketch(canvas(), table, sec_no, map);
  show_properties();
}

// What "Return" writes for the section as it stands (the analysis takes Iw + Ih as its torsion
// constant), so the sketch can be sized by its numbers.
void Form3::show_properties() {
  const SectionProperties p = section_properties(table, sec_no, MomentSums::single_precision);
  char text[160];
  std::snprintf(text, sizeof text, "A = %.6g mm2\nIw = %.6g mm4\nIh = %.6g mm4\nJ = %.6g mm4", p.sec_a, p.sec_iw,
                p.sec_ih, double(static_cast<float>(p.sec_iw + p.sec_ih)));
  Label40->setText(text);

  // The walls as the member checks take them, and what the analysis, which keeps the values
  // above, changes by it.
  const DrawnSectionProperties d = drawn_section_properties(table, sec_no);
  std::snprintf(text, sizeof text, "About the centroid:\nW = %.6g mm\nH = %.6g mm\n", d.centroid_w, d.centroid_h);
  std::string about = text;
  std::snprintf(text, sizeof text, "Iw = %.6g mm4\nIh = %.6g mm4\nIwh = %.6g mm4\n", d.iw, d.ih, d.iwh);
  about += text;
  std::snprintf(text, sizeof text, "I1 = %.6g mm4\nI2 = %.6g mm4\nAngle of I1 = %.4g\u00b0\nSt Venant J = %.6g mm4",
                d.i1, d.i2, d.angle, d.j);
  about += text;
  Label41->setText(QString::fromStdString(about));
  Label60->setText(QString::fromStdString(drawn_section_note_text(d, p)));
}

const char* Form3::mode() const {
  if (Option1->isChecked()) return "Make Point";
  if (Option2->isChecked()) return "Move Point";
  if (Option3->isChecked()) return "Make Line";
  if (Option5->isChecked()) return "Delete Line";
  return "none";
}

void Form3::write_coordinates(float w, float h) {
  Text2->setText(sci4(w));
  Text3->setText(sci4(h));
}

void Form3::Form_MouseDown(int, int, float x, float y) {
  // A pending thickness input holds every press until its "OK".
  if (Frame1->isHidden()) return;
  const float w = map.w_of(x), h = map.h_of(y);
  if (Option1->isChecked()) {
    add_section_point(table, sec_no, w, h);
    redraw();
    mark_point(canvas(), x, y);
    draw_readout(canvas(), map, w, h);
  } else if (Option2->isChecked() || Option3->isChecked()) {
    const int p = nearest_section_point(table, sec_no, map, x, y);
    if (p == 0) return;
    pick_pnt = static_cast<int16_t>(p);
    redraw();
    mark_picked_point(canvas(), table, sec_no, pick_pnt, map);
    if (Option2->isChecked()) {
      drag_on = 1;
      draw_readout(canvas(), map, w, h);
      write_coordinates(w, h);
    } else if (line_open == 0) {
      // The first end waits here, not in the table's next line slot, which a line deleted
      // meanwhile would leave pointing at an old line's end.
      check_room_for_line(table, sec_no);
      line_first = pick_pnt;
      line_open = 1;
    } else {
      const int l = add_section_line(table, sec_no, line_first, pick_pnt, 0);
      line_open = 0;
      mark_line(canvas(), table, sec_no, l, map);
      Frame1->hide();
      Frame2->show();
      // The thickness text may hold a user's unfinished entry from the previous line: the new
      // line is made and the thickness input stays open for a number.
      const std::string thickness = text_of(Text1);
      const bool typed = is_number(thickness);
      if (typed) table.line_t(sec_no, l) = single_from_text(thickness, "Thickness");
      redraw();
      if (!typed) single_from_text(thickness, "Thickness");
    }
  } else if (Option5->isChecked()) {
    const int l = nearest_section_line(table, sec_no, map, x, y);
    if (l == 0) return;
    pick_line = static_cast<int16_t>(l);
    mark_line(canvas(), table, sec_no, pick_line, map);
    delete_section_line(table, sec_no, pick_line);
    redraw();
  }
}

void Form3::Form_MouseMove(int, int, float x, float y) {
  // The sketch appears on the first movement over the window.
  if (drawn_once == 0) {
    drawn_once = 1;
    redraw();
  }
  const float w = map.w_of(x), h = map.h_of(y);
  if (Option2->isChecked() && drag_on == 1) {
    redraw();
    mark_drag(canvas(), map, table.pnt_xy(sec_no, pick_pnt, 1), table.pnt_xy(sec_no, pick_pnt, 2), x, y);
    write_coordinates(w, h);
  }
  erase_readout(canvas(), map);
  draw_readout(canvas(), map, w, h);
}

void Form3::Form_MouseUp(int, int, float x, float y) {
  if (!Option2->isChecked() || drag_on != 1) return;
  // The exact position, not the one the texts rounded to five digits.
  table.pnt_xy(sec_no, pick_pnt, 1) = map.w_of(x);
  table.pnt_xy(sec_no, pick_pnt, 2) = map.h_of(y);
  drag_on = 0;
  redraw();
}

void Form3::Option1_Click() { Frame3->hide(); }
void Form3::Option2_Click() { Frame3->show(); }
void Form3::Option3_Click() { Frame3->hide(); }
void Form3::Option5_Click() { Frame3->hide(); }

void Form3::Check1_Click() {
  const bool open = value_of(Check1) == 1;
  Frame4->setVisible(open);
  Command1->setVisible(!open);
}

void Form3::Text1_Change() {
  const std::string text = text_of(Text1);
  if (text.empty() || text == "-") return;
  const int l = table.n_line(sec_no);
  if (l >= 1) table.line_t(sec_no, l) = single_from_text(text, "Thickness");
  show_properties();
}

void Form3::Command2_Click() {
  Frame1->show();
  Frame2->hide();
  redraw();
}

void Form3::Text2_Change() {
  if (!Option2->isChecked()) return;
  // Typing before any pick, or after the point was replaced by a typical shape, moves nothing.
  if (pick_pnt < 1 || pick_pnt > table.n_pnt(sec_no)) return;
  run_ignoring_errors([&] { table.pnt_xy(sec_no, pick_pnt, 1) = single_from_text(text_of(Text2), "Y="); });
  run_ignoring_errors([&] { table.pnt_xy(sec_no, pick_pnt, 2) = single_from_text(text_of(Text3), "Z="); });
  redraw();
}

void Form3::Command1_Click() {
  if (table.n_line(sec_no) < 1) return;
  drop_unused_points(table, sec_no);
  redraw();
  write_section_file(table, MomentSums::single_precision);
  back_to_modelling();
}

void Form3::Command3_Click() {
  // Every text the chosen shape uses is read before the section changes, so a text that is
  // not a number leaves the section and the panel as they were.
  TypicalShapeInput in;
  if (Option4->isChecked()) {
    in.shape = TypicalShape::rectangular;
    in.width = single_from_text(text_of(Text4), "Width=");
    in.height = single_from_text(text_of(Text5), "Height=");
  } else {
    in.shape = TypicalShape::circular;
    in.radius = single_from_text(text_of(Text6), "Radius=");
  }
  in.thickness = single_from_text(text_of(Text7), "Thickness=");
  // The new shape replaces the points a half-made line started from.
  if (make_typical_shape(table, sec_no, in)) line_open = 0;
  redraw();
  set_value(Check1, 0);
  Frame4->hide();
  Command1->show();
}

void Form3::grand_file_r_w() {
  const SectionHandOver record = handed_over();
  write_record_section(table, record.n_gr, record.n_gr_m);
  sec_no = static_cast<int16_t>(record.n_gr - record.n_gr_m);
}

void Form3::del_file_r_w() {
  const SectionHandOver record = handed_over();
  delete_record_section(table, record.n_gr, record.n_gr_m);
}

void Form3::dump(JsonWriter& j) {
  j.key("sec_no").value(int(sec_no)).key("n_sec").value(int(table.n_sec));
  j.key("mode").value(mode());
  j.key("pick_pnt").value(int(pick_pnt)).key("pick_line").value(int(pick_line));
  j.key("line_open").value(int(line_open)).key("line_first").value(int(line_first));
  j.key("drag_on").value(int(drag_on));
  j.key("sections").begin_array();
  for (int s = 1; s <= std::min<int>(table.n_sec, max_sections); ++s) {
    j.begin_object().key("points").begin_array();
    for (int p = 1; p <= std::min<int>(table.n_pnt(s), max_section_points); ++p)
      j.begin_array().value(table.pnt_xy(s, p, 1)).value(table.pnt_xy(s, p, 2)).end_array();
    j.end_array().key("lines").begin_array();
    for (int l = 1; l <= std::min<int>(table.n_line(s), max_section_lines); ++l)
      j.begin_array()
          .value(int(table.line_pnt(s, l, 1)))
          .value(int(table.line_pnt(s, l, 2)))
          .value(table.line_t(s, l))
          .end_array();
    j.end_array().end_object();
  }
  j.end_array();
  // The section shown about its centroid, as the member checks take it.
  if (sec_no >= 1 && sec_no <= max_sections) {
    j.key("section_properties");
    const DrawnSectionProperties d = drawn_section_properties(table, sec_no);
    auto single = [](double v) { return static_cast<float>(v); };
    j.begin_object().key("area").value(single(d.area));
    j.key("centroid").begin_array().value(single(d.centroid_w)).value(single(d.centroid_h)).end_array();
    j.key("iw").value(single(d.iw)).key("ih").value(single(d.ih)).key("iwh").value(single(d.iwh));
    j.key("i1").value(single(d.i1)).key("i2").value(single(d.i2)).key("angle").value(single(d.angle));
    j.key("j").value(single(d.j)).end_object();
  }
}

bool Form3::call(const std::string& procedure) {
  if (procedure == "grand_file_r_w") return grand_file_r_w(), true;
  if (procedure == "del_file_r_w") return del_file_r_w(), true;
  return false;
}
