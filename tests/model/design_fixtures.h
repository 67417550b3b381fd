// Boxes and bars added to a store as the design panel would leave them.
#pragma once

#include "base/rotate.h"
#include "model/model_store.h"
#include "support/test_support.h"

using test_support::error_of;
inline int add_record(ModelStore& m, int kind, Vec3 len, Vec3 cen, int dl, int dw, int dh, Vec3 rot = {},
                      float design = 1.0f) {
  const int k = ++m.n_gr;
  for (int a = 1; a <= 3; ++a) {
    m.gr_len(k, a) = len[a];
    m.gr_cen(k, a) = cen[a];
    m.gr_rot(k, a) = rot[a];
  }
  m.gr_div(k, 1) = static_cast<int16_t>(dl);
  m.gr_div(k, 2) = static_cast<int16_t>(dw);
  m.gr_div(k, 3) = static_cast<int16_t>(dh);
  m.gr_div(k, 4) = static_cast<int16_t>(kind);
  m.gr_mat(k, 1) = 206000;
  m.gr_mat(k, 2) = 0.33f;
  m.gr_mat(k, 3) = design;
  return k;
}

inline int add_box(ModelStore& m, Vec3 len, Vec3 cen, int dl, int dw, int dh, Vec3 rot = {}) {
  return add_record(m, 1, len, cen, dl, dw, dh, rot);
}

// A bar is a block of its length by 10 by 10 with divisions 1, 1, 1.
inline int add_bar(ModelStore& m, float length, Vec3 cen, Vec3 rot = {}, float design = 1.0f) {
  return add_record(m, 2, Vec3(length, 10, 10), cen, 1, 1, 1, rot, design);
}

