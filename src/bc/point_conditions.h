// What one point carries in one load case (fixed degrees of freedom, springs to ground, loads),
// the point dialog's values read into it, storing and clearing it, clearing every case, and the
// choice of the current load case.
// Units: loads N (moments N mm), springs N/mm (N mm per radian for rotations); degrees of
// freedom 1..6 are the translations along L, W, H and the rotations about L, W, H.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/model_store.h"

// Captions of the degrees of freedom 1..6 on the dialog's check boxes and load labels; they
// also name the fields in error messages ("Spring Stiff. W", "Load M_H").
inline constexpr const char* dof_caption[7] = {"", "L", "W", "H", "Rot_L", "Rot_W", "Rot_H"};
inline constexpr const char* load_caption[7] = {"", "F_L", "F_W", "F_H", "M_L", "M_W", "M_H"};

// Rows 1..6 are the degrees of freedom; row 0 unused.
struct PointConditions {
  std::array<int16_t, 7> fixed{};  // 1 fixed, 0 free
  std::array<float, 7> spring{};   // stiffness to ground
  std::array<float, 7> load{};     // applied force or moment
};

// What node carries in case_no, as the dialog is filled with it.
PointConditions point_conditions(const ModelStore& m, int case_no, int node);

// What several points carry in common in one case (conditions_to_edit), as the dialog shows
// them when it edits them together: a value where they all agree, none where they differ (and where the dialog is left
// empty, each point keeps its own).
struct SharedConditions {
  std::array<std::optional<int16_t>, 7> fixed;
  std::array<std::optional<float>, 7> spring, load;
};
SharedConditions shared_conditions(const ModelStore& m, int case_no, const std::vector<int16_t>& nodes);
// The dialog's values for several points: a check box left partly ticked (-1) or a text left
// empty sets nothing; a text that is not a number stores nothing, as read_point_conditions says.
SharedConditions read_shared_conditions(const std::array<int, 7>& checks, const std::array<std::string, 7>& spring_texts,
                                        const std::array<std::string, 7>& load_texts);
// A point's own conditions with what `set` sets put over them.
PointConditions with_shared(PointConditions own, const SharedConditions& set);

// bc_box0: the six fixed flags, loads and springs of node in case_no set to 0; the marker
// bc_flag is left to the caller.
void clear_point_conditions(ModelStore& m, int case_no, int node);

// The dialog's values: fixed flags from its check boxes (0 or 1), springs and loads from its
// texts. All twelve texts are read before anything is stored, so one that is not a number
// stores nothing: "Type mismatch" (or "Overflow" beyond the Single range) naming the field.
PointConditions read_point_conditions(const std::array<int, 7>& checks, const std::array<std::string, 7>& spring_texts,
                                      const std::array<std::string, 7>& load_texts);

// True when node carries nothing in case_no: the sum over the six degrees of freedom of
// |fixed flag| + |load| + |spring| is 0.
bool carries_nothing(const ModelStore& m, int case_no, int node);

// bc_box: stores p for node in case_no, then clears the node's marker when it carries
// nothing. It never sets the marker; opening the point for editing does.
void store_point_conditions(ModelStore& m, int case_no, int node, const PointConditions& p);

// True when no node carries anything in case c: the case is not in use, and no file holds it.
bool case_holds_nothing(const ModelStore& m, int c);

// The model's common conditions of node: the supports and springs "All Load Cases" set on it.
PointConditions common_conditions(const ModelStore& m, int node);

// What node carries in case c as the point dialog shows it: in a case not in use, what the
// case will start from (the node's common conditions).
PointConditions conditions_to_edit(const ModelStore& m, int c, int node);

// A case not in use takes the common conditions of every node before it is first given
// anything; a case in use is left as it is.
void start_case(ModelStore& m, int c);

// bc_box under the case rule: case c started, p stored for node, and the node marked when it
// carries something.
void give_point_conditions(ModelStore& m, int c, int node, const PointConditions& p);

// "All Load Cases": the supports and springs of p become node's common conditions and go into
// every case in use and into case_no (started first); its loads go only into case_no. A load on
// a degree of freedom now fixed is dropped. Each of these cases marks the node when it carries
// something in it.
void store_point_conditions_in_every_case(ModelStore& m, int case_no, int node, const PointConditions& p);

// "OK" of the dialog for several nodes in case c: case c started, then each node given its own
// conditions with what `set` sets put over them (with every_case, as "All Load Cases").
void give_shared_conditions(ModelStore& m, int c, const std::vector<int16_t>& nodes, const SharedConditions& set,
                            bool every_case);

// The common conditions a model read back from its file had: where two or more cases are in
// use, each node's supports and springs that every one of them holds alike. One case alone
// cannot tell its own supports from common ones, and gives none.
void common_conditions_from_cases(ModelStore& m);

// "Copy Case": the supports and springs of every node in case `from` replace those of case `to`;
// the loads of `to` stay. Markers follow what each node carries in `to`. Cases 1..5.
void copy_case_supports(ModelStore& m, int from, int to);

// What the nodes carry, kept by where they lie, so that a new mesh can take it back.
struct PlacedConditions {
  std::array<float, 3> at{};  // L, W, H, mm
  int case_no = 0;            // 0: the node's common conditions
  PointConditions p;
};
std::vector<PlacedConditions> conditions_by_place(const ModelStore& m);

// Puts back every kept condition whose place holds a node of the model now (within 1e-6 of the
// model's size, at least 1e-6 mm): `restored` nodes took something back, `missing` places found
// no node, the first of them at `first_missing`.
struct RestoredConditions {
  int restored = 0;
  int missing = 0;
  std::array<float, 3> first_missing{};
};
RestoredConditions restore_conditions(ModelStore& m, const std::vector<PlacedConditions>& kept);

// "Cancel" of the stage: markers, fixed flags, loads and springs of every case and node, and
// the common conditions, cleared, and case 1 current.
void clear_all_conditions(ModelStore& m);

// The load case a "Case No.=" text selects: its number to the nearest whole (halves to even)
// within 1..mx_case (mx_case itself taken within the store's 1..5). `limited` says the typed number
// lay outside that range, so the text is to be replaced by case_no. "Type mismatch" when the
// text is not a number.
struct CaseChoice {
  int16_t case_no;
  bool limited;
};
CaseChoice choose_case(std::string_view text, int mx_case);
