// The point dialog: its controls, the rule that a fixed degree of freedom shows no spring and
// no load, "ALL", and the two ways out ("OK" stores, the close button discards).
#include "ui/form5.h"

#include "bc/point_conditions.h"
#include "formats/json.h"
#include "formats/numtext.h"
#include "ui/form2.h"
#include "ui/qt_controls.h"
#include "ui/shell.h"

namespace {
// "L-Directional" or "Rotation-about-L-Axis": how the tool tips name degree of freedom 1..6.
QString dof_phrase(int dof) {
  static const char* const axis[] = {"L", "W", "H"};
  return dof <= 3 ? QString("%1-Directional").arg(axis[dof - 1]) : QString("Rotation-about-%1-Axis").arg(axis[dof - 4]);
}

QString fixed_tip(int dof) {
  return "Check If " + dof_phrase(dof) + " Degree of Freedom should be Fixed (No Check is Free)";
}
QString spring_tip(int dof) {
  return "Input Stiffness of Spring between This Point and Ground for " + dof_phrase(dof) + " Degree of Freedom";
}
QString load_tip(int dof) {
  return QString(dof <= 3 ? "Input Applied Load for This Point for " : "Input Applied Load (Moment) for This Point for ") +
         dof_phrase(dof) + " Degree of Freedom";
}

QString name(const char* stem, int number) { return QString("%1%2").arg(stem).arg(number); }

constexpr int row_top = 300, row_step = 360;
}  // namespace

Form5::Form5() : FormWindow("Form5", "B.C & A.L", 7320, 4680) {
  Label1 = make_label(this, "Label1", "   Boundary Conditions", {120, 120, 4200, 300});
  Label2 = make_label(this, "Label2", "  Applied Loads", {4560, 120, 2640, 300});

  Frame1 = make_frame(this, "Frame1", "Fixed D.O.F.", {120, 480, 2160, 3000},
                      "Check If Each Degree of Freedom should be Fixed (No Check is Free)");
  QCheckBox* checks[6];
  for (int k = 1; k <= 6; ++k)
    checks[k - 1] = make_check(Frame1, name("Check", k).toUtf8().constData(), dof_caption[k],
                               {120, row_top + row_step * (k - 1), 1900, 300}, fixed_tip(k));
  Check1 = checks[0], Check2 = checks[1], Check3 = checks[2], Check4 = checks[3], Check5 = checks[4], Check6 = checks[5];
  Command2 = make_button(Frame1, "Command2", "ALL", {120, row_top + row_step * 6, 1900, 360},
                         "Click If All Degrees of freedom should be Fixed (Re-Click Cancel This Action)");

  Frame3 = make_frame(this, "Frame3", "Spring Stiff.", {2400, 480, 2040, 3000},
                      "Input Stiffness of Spring between This Point and Ground for Each Degree of Freedom");
  QLineEdit* springs[6];
  for (int k = 1; k <= 6; ++k)
    springs[k - 1] = make_text(Frame3, name("Text", k).toUtf8().constData(), "0.0",
                               {120, row_top + row_step * (k - 1), 1800, 300}, spring_tip(k));
  Text1 = springs[0], Text2 = springs[1], Text3 = springs[2], Text4 = springs[3], Text5 = springs[4], Text6 = springs[5];

  Frame5 = make_frame(this, "Frame5", "Load", {4560, 480, 2640, 3000},
                      "Input Applied Loads for This Point for Each Degree of Freedom");
  QLineEdit* loads[6];
  QLabel* labels[6];
  for (int k = 1; k <= 6; ++k) {
    const int top = row_top + row_step * (k - 1);
    labels[k - 1] = make_label(Frame5, name("Label", k + 2).toUtf8().constData(), load_caption[k], {120, top + 30, 600, 270});
    loads[k - 1] = make_text(Frame5, name("Text", k + 6).toUtf8().constData(), "0.0", {720, top, 1800, 300}, load_tip(k));
  }
  Text7 = loads[0], Text8 = loads[1], Text9 = loads[2], Text10 = loads[3], Text11 = loads[4], Text12 = loads[5];
  Label3 = labels[0], Label4 = labels[1], Label5 = labels[2], Label6 = labels[3], Label7 = labels[4], Label8 = labels[5];

  Label9 = make_label(this, "Label9", QString::fromUtf8("Unit\xEF\xBC\x9AN/mm"), {120, 3660, 2400, 300});
  Label10 = make_label(this, "Label10", "", {1800, 3540, 3240, 600});
  Label10->setWordWrap(true);
  Command1 = make_button(this, "Command1", "OK", {5160, 3600, 2040, 480},
                         "Set Boundary Conditions or Applied Loads, and, Return to Previous Main Window");
  Check10 = make_check(this, "Check10", "All Load Cases", {120, 4020, 4800, 300},
                       "Check If the Supports and Springs should be Set in Every Load Case (Loads stay in This Case)");
  wire();
}

// Every handler of the dialog, in the order of its controls.
void Form5::wire() {
  on_click(Check1, this, &Form5::Check1_Click);
  on_click(Check2, this, &Form5::Check2_Click);
  on_click(Check3, this, &Form5::Check3_Click);
  on_click(Check4, this, &Form5::Check4_Click);
  on_click(Check5, this, &Form5::Check5_Click);
  on_click(Check6, this, &Form5::Check6_Click);
  on_click(Command2, this, &Form5::Command2_Click);
  on_click(Command1, this, &Form5::Command1_Click);
}

QCheckBox* Form5::fixed_box(int dof) const {
  QCheckBox* const boxes[] = {Check1, Check2, Check3, Check4, Check5, Check6};
  return boxes[dof - 1];
}
QLineEdit* Form5::spring_text(int dof) const {
  QLineEdit* const texts[] = {Text1, Text2, Text3, Text4, Text5, Text6};
  return texts[dof - 1];
}
QLineEdit* Form5::load_text(int dof) const {
  QLineEdit* const texts[] = {Text7, Text8, Text9, Text10, Text11, Text12};
  return texts[dof - 1];
}

void Form5::show_conditions(const PointConditions& p, std::vector<int16_t> nodes) {
  SharedConditions s;
  for (size_t k = 1; k <= 6; ++k) {
    s.fixed[k] = p.fixed[k];
    s.spring[k] = p.spring[k];
    s.load[k] = p.load[k];
  }
  show_shared(s, std::move(nodes));
}

// A box partly ticked goes on through ticked and clear and back to partly ticked.
void Form5::show_shared(const SharedConditions& s, std::vector<int16_t> nodes) {
  nodes_ = std::move(nodes);
  for (size_t k = 1; k <= 6; ++k) {
    QCheckBox* box = fixed_box(static_cast<int>(k));
    box->setTristate(!s.fixed[k]);
    if (s.fixed[k]) set_value(box, *s.fixed[k]);
    else box->setCheckState(Qt::PartiallyChecked);
    auto text = [](const std::optional<float>& v) { return v ? QString::fromStdString(plain_text(*v)) : QString(); };
    spring_text(static_cast<int>(k))->setText(text(s.spring[k]));
    load_text(static_cast<int>(k))->setText(text(s.load[k]));
  }
}

SharedConditions Form5::shared() const {
  std::array<int, 7> checks{};
  std::array<std::string, 7> springs, loads;
  for (int k = 1; k <= 6; ++k) {
    checks[k] = fixed_box(k)->checkState() == Qt::PartiallyChecked ? -1 : value_of(fixed_box(k));
    springs[k] = text_of(spring_text(k));
    loads[k] = text_of(load_text(k));
  }
  return read_shared_conditions(checks, springs, loads);
}

PointConditions Form5::conditions() const {
  std::array<int, 7> checks{};
  std::array<std::string, 7> springs, loads;
  for (int k = 1; k <= 6; ++k) {
    checks[k] = value_of(fixed_box(k));
    springs[k] = text_of(spring_text(k));
    loads[k] = text_of(load_text(k));
  }
  return read_point_conditions(checks, springs, loads);
}

void Form5::Form_Load() {
  for (int k = 1; k <= 6; ++k) set_value(fixed_box(k), 1);
}

void Form5::fixed_changed(int dof) {
  const bool fixed = value_of(fixed_box(dof)) == 1;
  for (QLineEdit* t : {spring_text(dof), load_text(dof)}) {
    if (fixed) t->setText("0");
    t->setVisible(!fixed);
  }
}

void Form5::Check1_Click() { fixed_changed(1); }
void Form5::Check2_Click() { fixed_changed(2); }
void Form5::Check3_Click() { fixed_changed(3); }
void Form5::Check4_Click() { fixed_changed(4); }
void Form5::Check5_Click() { fixed_changed(5); }
void Form5::Check6_Click() { fixed_changed(6); }

// All six fixed frees all six; anything less fixes all six.
void Form5::Command2_Click() {
  int product = 1;
  for (int k = 1; k <= 6; ++k) product *= value_of(fixed_box(k));
  for (int k = 1; k <= 6; ++k) set_value(fixed_box(k), product != 0 ? 0 : 1);
}

// A text that is not a number stops "OK" before anything is stored: the dialog stays open
// and the modelling window stays off, so the user can correct it.
void Form5::Command1_Click() {
  const bool every_case = value_of(Check10) == 1;
  if (nodes_.size() > 1) {
    const SharedConditions set = shared();
    if (Form2* f = modelling_window()) {
      f->setEnabled(true);
      f->bc_box_selected(set, every_case);
    }
  } else {
    const PointConditions p = conditions();
    if (Form2* f = modelling_window()) {
      f->bc_box(p, every_case);
      f->setEnabled(true);
    }
  }
  shell().unload("Form5");
}

void Form5::Form_Unload() {
  shell().unload("Form5");
  if (Form2* f = modelling_window()) f->bc_discard();
}

void Form5::dump(JsonWriter& j) {
  j.key("caption").value(windowTitle().toStdString());
  j.key("nodes").begin_array();
  for (int16_t n : nodes_) j.value(n);
  j.end_array();
  j.key("fixed").begin_array();
  for (int k = 1; k <= 6; ++k) j.value(value_of(fixed_box(k)));
  j.end_array().key("spring").begin_array();
  for (int k = 1; k <= 6; ++k) j.value(text_of(spring_text(k)));
  j.end_array().key("load").begin_array();
  for (int k = 1; k <= 6; ++k) j.value(text_of(load_text(k)));
  j.end_array().key("texts_shown").begin_array();
  for (int k = 1; k <= 12; ++k) j.value(int(!(k <= 6 ? spring_text(k) : load_text(k - 6))->isHidden()));
  j.end_array();
}

bool Form5::call(const std::string& procedure) {
  if (procedure == "Command1_Click") return Command1_Click(), true;
  return false;
}
