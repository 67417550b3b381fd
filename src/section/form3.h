// The cross-section editor window: owns its section table and writes the cross-section data
// file for the modelling window (grand_file_r_w, del_file_r_w). The sketch editing builds on it.
#pragma once

#include "app/form_window.h"
#include "section/section_table.h"

class Form3 : public FormWindow {
  Q_OBJECT

 public:
  Form3();

  // The opening preparation: the table read afresh for the record handed over on Form4.
  void Form_Load() override;
  // Closing by the window's own button returns to the modelling window.
  void Form_Unload() override;
  void dump(JsonWriter& j) override;
  bool call(const std::string& procedure) override;

  // Public procedures of the modelling window's "OK" and "Delete".
  void grand_file_r_w();
  void del_file_r_w();

  SectionTable table;
  int16_t sec_no = 0;

 private:
  // n_gr and n_gr_m as handed over on Form4.
  int hand_over_n_gr() const;
  int hand_over_n_gr_m() const;
};
