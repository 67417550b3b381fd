// The frame shown as an input deck for a general finite-element program, in the keyword format
// that CalculiX (ccx) reads: nodes, members, materials, springs to ground, and one step per load
// case with its supports, springs and loads, with output requests for displacements and section
// forces. With a loading, the members carry their own weight and the steps may be the load
// combinations instead of the cases. The deck opens with a comment block that says how it is
// built and how to read it.
#pragma once

#include <string>

#include "evaluate/loading.h"
#include "evaluate/shown_frame.h"

// The shear factor written on every member section: large enough that shear deformation leaves
// every member an Euler-Bernoulli beam (12 E I / (k G A L^2) at most 1e-10), a power of ten.
double fe_deck_shear_factor(const ShownFrame& f);

// Writes the deck of f to path (mm, N, N/mm2; Marulla's node numbers; x, y, z = L, W, H),
// replacing the file whole or not at all; a place that cannot be written is "Cannot write file"
// naming it. Nodes no member touches are left out with their supports, springs and loads, and so
// are loads on a fixed degree of freedom and load cases without a load (the deck says so).
// Loading: with self_weight, every member carries its weight (section area x density x g, in the
// loading's direction), in every load case or with each combination's factor; with
// combinations, one step per combination (in their order; one without any load is left out)
// carries the factored sum of its cases' loads with the supports and springs of the cases it
// uses (those of load case 1 when it uses none). Loading{} is the deck of the load cases alone.
// A direction that is none of +L, -L, +W, -W, +H, -H, a density below 0 and a combination that
// cannot be analysed as the sum of its cases (combination_problem) are "Invalid setting", and no
// file is written.
void write_fe_deck(const ShownFrame& f, const Loading& loading, const std::string& path);
void write_fe_deck(const ShownFrame& f, const std::string& path);
