// The load combinations dialog "Load Combinations": the table of combinations.csv, one row a
// combination (name, ULS or SLS, the factor of the self-weight and of each load case), edited
// in place. "Save" checks every row and hands the table to whoever opened the dialog, which keeps
// it in combinations.csv; "Cancel" leaves both as they were.
#pragma once

#include <functional>
#include <vector>

#include "evaluate/loading.h"
#include "ui/form_window.h"

class QLabel;
class QPushButton;
class QTableWidget;

class Form6 : public FormWindow {
  Q_OBJECT

 public:
  Form6();

  void dump(JsonWriter& j) override;

  // Shows the table for a model of `case_count` load cases; `saved` receives the table saved.
  void edit(const std::vector<Combination>& list, int case_count,
            std::function<void(const std::vector<Combination>&)> saved);
  // The rows read as combinations: a row that cannot be one is a RunTimeError naming it.
  std::vector<Combination> combinations() const;

  void Command1_Click();  // Add
  void Command2_Click();  // Remove
  void Command3_Click();  // Save
  void Command4_Click();  // Cancel

  QLabel* Label1;        // what a row holds
  QTableWidget* Grid1;   // the combinations
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;
  QPushButton* Command4;

 private:
  void add_row(const Combination& k);
  int case_count_ = 1;
  std::function<void(const std::vector<Combination>&)> saved_;
};
