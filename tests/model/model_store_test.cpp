// The model store's load state and its fixed-capacity arrays.
#include <gtest/gtest.h>

#include "model/model_store.h"
#include "support/test_support.h"

TEST(ModelStore, WindowLoadSetsCapacitiesAndInitialValues) {
  ModelStore m;
  m.n_gr = 7;
  m.case_no = 3;
  m.apex_sel = 2;
  m.bc_flag(5, 1000) = 1;
  m.apex_mov(8, 3) = 1.5f;
  m.form_load();
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
  EXPECT_EQ(test_support::error_name_of([&] { m.node_xyz(1001, 1) = 1; }), "Subscript out of range");
  EXPECT_THROW(m.bc_val(6, 1, 1, 1), RunTimeError);
  EXPECT_THROW(m.gr_apex(1, 9, 1), RunTimeError);
  EXPECT_THROW(m.elem_nod(-1, 1), RunTimeError);
}
