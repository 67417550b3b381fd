// The model store's load state and its fixed-capacity arrays. (Its JSON form is read back by
// the scenarios' expect-state lines.)
#include <gtest/gtest.h>

#include "formats/errors.h"
#include "model/model_store.h"

TEST(ModelStore, WindowLoadSetsCapacitiesAndInitialValues) {
  ModelStore m;
  m.n_gr = 7;
  m.case_no = 3;
  m.apex_sel = 2;
  m.bc_flag(5, 1000) = 1;
  m.apex_mov(8, 3) = 1.5f;
  m.form_load();
  EXPECT_EQ(m.mx_node, 1000);
  EXPECT_EQ(m.mx_elem, 5000);
  EXPECT_EQ(m.mx_gr, 100);
  EXPECT_EQ(m.mx_case, 5);
  EXPECT_EQ(m.n_gr, 0);
  EXPECT_EQ(m.case_no, 1);
  EXPECT_EQ(m.apex_sel, 0);
  EXPECT_EQ(m.bc_flag(5, 1000), 0);
  EXPECT_EQ(m.apex_mov(8, 3), 0.0f);
}

TEST(Table, IndicesBeyondACapacityAreRunTimeErrors) {
  ModelStore m;
  EXPECT_NO_THROW(m.node_xyz(1000, 3) = 1);
  try {
    m.node_xyz(1001, 1) = 1;
    FAIL() << "wrote past the node table";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.name(), "Subscript out of range");
  }
  EXPECT_THROW(m.bc_val(6, 1, 1, 1), RunTimeError);
  EXPECT_THROW(m.gr_apex(1, 9, 1), RunTimeError);
  EXPECT_THROW(m.elem_nod(-1, 1), RunTimeError);
}
