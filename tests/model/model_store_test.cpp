// The model store's load state and its fixed-capacity arrays.
#include <gtest/gtest.h>

#include "app/errors.h"
#include "formats/json.h"
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

TEST(ModelStore, JsonListsRecordsAndCasesCarryingData) {
  ModelStore m;
  m.form_load();
  m.n_gr = 1;
  m.gr_len(1, 1) = 100;
  m.gr_div(1, 4) = 2;
  m.bc_flag(2, 7) = 1;
  m.bc_val(2, 7, 1, 3) = 1;
  m.bc_val(2, 7, 2, 1) = -500;
  m.spring_val(2, 7, 6) = 25;
  JsonWriter j;
  j.begin_object();
  write_model_json(j, m);
  j.end_object();
  const std::string& s = j.str();
  EXPECT_NE(s.find("\"gr_len\":[[100,0,0]]"), std::string::npos);
  EXPECT_NE(s.find("\"gr_div\":[[0,0,0,2]]"), std::string::npos);
  EXPECT_NE(s.find("\"bc\":[{\"case\":2,\"node\":7,\"fixed\":[0,0,1,0,0,0],\"load\":[-500,0,0,0,0,0],"
                   "\"spring\":[0,0,0,0,0,25]}]"),
            std::string::npos);
}
