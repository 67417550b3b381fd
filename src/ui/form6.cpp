// The load combinations dialog: the table, its rows added and removed, and the two ways out.
#include "ui/form6.h"

#include <QHeaderView>
#include <QTableWidget>

#include "formats/json.h"
#include "formats/numtext.h"
#include "ui/qt_controls.h"

namespace {
constexpr int fixed_columns = 3;  // name, kind, self-weight

QString cell_text(const QTableWidget& t, int row, int column) {
  const QTableWidgetItem* item = t.item(row, column);
  return item ? item->text().trimmed() : QString();
}
}  // namespace

Form6::Form6() : FormWindow("Form6", "Load Combinations", 8400, 5400) {
  Label1 = make_label(this, "Label1",
                      "One row a combination: its name, ULS (strength) or SLS (deflection), and the factors of the "
                      "self-weight and of each load case (0 where it does not act).",
                      {120, 120, 8160, 600});
  Label1->setWordWrap(true);
  Grid1 = new QTableWidget(this);
  Grid1->setObjectName("Grid1");
  Grid1->setToolTip("Name, Kind (ULS or SLS), Factor of the Self-Weight and of Each Load Case");
  place(Grid1, {120, 780, 8160, 3780});
  Command1 = make_button(this, "Command1", "Add", {120, 4680, 1500, 420}, "Add a Combination");
  Command2 = make_button(this, "Command2", "Remove", {1740, 4680, 1500, 420}, "Remove the Combination Selected");
  Command3 = make_button(this, "Command3", "Save", {5160, 4680, 1500, 420},
                         "Check the Table, Write combinations.csv and Use It");
  Command4 = make_button(this, "Command4", "Cancel", {6780, 4680, 1500, 420}, "Close without Saving");
  on_click(Command1, this, &Form6::Command1_Click);
  on_click(Command2, this, &Form6::Command2_Click);
  on_click(Command3, this, &Form6::Command3_Click);
  on_click(Command4, this, &Form6::Command4_Click);
}

void Form6::edit(const std::vector<Combination>& list, int case_count,
                 std::function<void(const std::vector<Combination>&)> saved) {
  case_count_ = case_count;
  saved_ = std::move(saved);
  QStringList heads{"Name", "Kind", "Self-weight"};
  for (int c = 1; c <= case_count; ++c) heads << QString("Case %1").arg(c);
  Grid1->clear();
  Grid1->setRowCount(0);
  Grid1->setColumnCount(static_cast<int>(heads.size()));
  Grid1->setHorizontalHeaderLabels(heads);
  for (const Combination& k : list) add_row(k);
}

void Form6::add_row(const Combination& k) {
  const int row = Grid1->rowCount();
  Grid1->insertRow(row);
  Grid1->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(k.name)));
  Grid1->setItem(row, 1, new QTableWidgetItem(limit_state_name(k.kind)));
  Grid1->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(plain_text(k.self_weight))));
  for (int c = 0; c < case_count_; ++c)
    Grid1->setItem(row, fixed_columns + c, new QTableWidgetItem(QString::fromStdString(plain_text(k.factor(static_cast<size_t>(c))))));
}

std::vector<Combination> Form6::combinations() const {
  std::vector<Combination> list;
  for (int row = 0; row < Grid1->rowCount(); ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < Grid1->columnCount(); ++column) cells.push_back(cell_text(*Grid1, row, column).toStdString());
    try {
      list.push_back(combination_from_cells(cells, case_count_));
    } catch (const RunTimeError& e) {
      raise_error(e.name(), "combination " + std::to_string(row + 1) + ": " + e.where());
    }
    for (size_t k = 0; k + 1 < list.size(); ++k)
      if (list[k].name == list.back().name)
        raise_error(err::invalid_setting, "combination " + std::to_string(row + 1) + ": the name " + list.back().name + " is used twice");
  }
  return list;
}

// A new row: the next free name "C1", "C2", ..., an ULS of every load case with factor 1.
void Form6::Command1_Click() {
  if (Grid1->rowCount() >= max_combinations)
    raise_error(err::capacity, "at most " + std::to_string(max_combinations) + " combinations");
  Combination k;
  for (int n = Grid1->rowCount() + 1;; ++n) {
    k.name = "C" + std::to_string(n);
    if (Grid1->findItems(QString::fromStdString(k.name), Qt::MatchExactly).isEmpty()) break;
  }
  k.self_weight = 1;
  k.factors.assign(static_cast<size_t>(case_count_), 1.0);
  add_row(k);
}

// The row selected goes, or the last when none is.
void Form6::Command2_Click() {
  if (Grid1->rowCount() == 0) return;
  const int row = Grid1->currentRow();
  Grid1->removeRow(row >= 0 ? row : Grid1->rowCount() - 1);
}

// The dialog stays open while the table is refused, so that it can be mended.
void Form6::Command3_Click() {
  const std::vector<Combination> list = combinations();
  if (saved_) saved_(list);
  hide();
}

void Form6::Command4_Click() { hide(); }

void Form6::dump(JsonWriter& j) {
  j.key("rows").begin_array();
  for (int row = 0; row < Grid1->rowCount(); ++row) {
    j.begin_array();
    for (int column = 0; column < Grid1->columnCount(); ++column) j.value(cell_text(*Grid1, row, column).toStdString());
    j.end_array();
  }
  j.end_array();
}
