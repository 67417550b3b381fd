// The frame shown as an input deck for a general finite-element program, in the keyword format
// that CalculiX (ccx) reads: nodes, members, materials, springs to ground, and one step per load
// case with its supports, springs and loads, with output requests for displacements and section
// forces. The deck opens with a comment block that says how it is built and how to read it.
#pragma once

#include <string>

#include "evaluate/shown_frame.h"

// The shear factor written on every member section: large enough that shear deformation leaves
// every member an Euler-Bernoulli beam (12 E I / (k G A L^2) at most 1e-10), a power of ten.
double fe_deck_shear_factor(const ShownFrame& f);

// Writes the deck of f to path (mm, N, N/mm2; Marulla's node numbers; x, y, z = L, W, H),
// replacing the file whole or not at all; a place that cannot be written is "Cannot write file"
// naming it. Nodes no member touches are left out with their supports, springs and loads, and so
// are loads on a fixed degree of freedom and load cases without a load (the deck says so).
void write_fe_deck(const ShownFrame& f, const std::string& path);
