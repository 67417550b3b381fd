// The result file as the solver writes it and the post-processing window reads it, and the
// program topo run headless on a small model from start to end.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "analysis/model_file.h"
#include "post/result_file.h"
#include "solver/optimiser.h"
#include "solver/result_file.h"
#include "support/test_support.h"

namespace fs = std::filesystem;
using test_support::file_text;

namespace {

// Four nodes, five design beams and one non-design bar (element 3), clamped at nodes 1..3 and
// loaded at node 4; its sketch in the section file.
const fs::path small_set = test_support::tests_dir() / "data" / "post_small";

void copy_model() {
  for (const char* f : {"fem_gr_jo.dat", "cross_data_4th.dat"}) fs::copy_file(small_set / f, f);
}

// Runs topo in the working directory without a display; its exit status.
int run_topo() {
  const fs::path exe = fs::read_symlink("/proc/self/exe").parent_path() / "topo";
  const std::string command = "QT_QPA_PLATFORM=offscreen '" + exe.string() + "' --close-at-end > out.txt 2> err.txt";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool topo_built() { return fs::exists(fs::read_symlink("/proc/self/exe").parent_path() / "topo"); }

}  // namespace

TEST(ResultFileAgreement, WhatTheSolverWritesThePostWindowReads) {
  test_support::WorkingDirectory dir;
  copy_model();
  const ModelFile model = read_model_file();
  const auto cycles = Optimiser(model).run();
  write_result_file(result_file_name, model, cycles);

  ResultStore r;
  read_result_file(r, post_file_name);
  ASSERT_EQ(r.pn_cyc, static_cast<int>(cycles.size()));
  EXPECT_EQ(r.pn_node, 4);
  EXPECT_EQ(r.pn_elem, 6);
  EXPECT_EQ(r.pd_max, 20.0f);
  for (int e = 1; e <= 6; ++e) {
    EXPECT_EQ(r.pe_nod(e, 1), model.elements[size_t(e - 1)].node1);
    EXPECT_EQ(r.is_non_design(e), e == 3) << e;
    for (int c = 1; c <= r.pn_cyc; ++c)
      EXPECT_NEAR(r.pe_dia(c, e), cycles[size_t(c - 1)].diameters[size_t(e - 1)], 1e-5 * 20) << c << " " << e;
  }
  EXPECT_EQ(r.pnode_xyz(r.pn_cyc, 4, 1), 200.0f);
  EXPECT_EQ(r.pnode_xyz(1, 2, 2), 100.0f);
}

// The writer as a run uses it, rewriting at every cycle, while the post-processing window's
// reader reads the file over and over: every read finds a whole file of whole cycles, never
// fewer than the read before, and the last file is the one written in one go.
TEST(ResultFileAgreement, AReaderFindsACompleteFileWhileTheRunWritesIt) {
  test_support::WorkingDirectory dir;
  copy_model();
  const ModelFile model = read_model_file();
  const auto run = Optimiser(model).run();
  std::vector<CycleRecord> cycles;
  for (int k = 0; k < 150; ++k) {
    cycles.push_back(run[static_cast<size_t>(k) % run.size()]);
    cycles.back().cycle = k + 1;
  }

  std::atomic<bool> writing{true};
  std::atomic<int> reads{0};
  std::thread writer_thread([&] {
    ResultFileWriter writer(result_file_name, model, 0, HUGE_VAL);
    for (const CycleRecord& c : cycles) {
      writer.add(c);
      const int before = reads;
      while (c.cycle % 10 == 0 && reads == before) std::this_thread::yield();  // let a read fall in here
    }
    writer.flush();
    EXPECT_EQ(writer.rewrites(), 150);
    writing = false;
  });
  auto r = std::make_unique<ResultStore>();
  int seen = 0;
  while (writing) {
    if (!fs::exists(result_file_name)) continue;
    EXPECT_EQ(test_support::error_of([&] { read_result_file(*r, post_file_name); }), "");
    EXPECT_GE(r->pn_cyc, seen);
    seen = r->pn_cyc;
    ++reads;
  }
  writer_thread.join();
  EXPECT_GE(reads, 15);
  const std::string streamed = file_text(result_file_name);
  write_result_file(result_file_name, model, cycles);
  EXPECT_EQ(streamed, file_text(result_file_name));
}

TEST(Topo, RunsHeadlessToTheEndAndWritesTheResults) {
  if (!topo_built()) GTEST_SKIP() << "the topo program is not built";
  test_support::WorkingDirectory dir;
  copy_model();
  test_support::write_file("post_pl.dat", "results of another model\r\n");
  ASSERT_EQ(run_topo(), 0) << file_text("err.txt");
  const std::string out = file_text("out.txt");
  EXPECT_NE(out.find("4 nodes, 6 elements (5 design), 1 load cases"), std::string::npos) << out;
  EXPECT_NE(out.find("Done after"), std::string::npos) << out;

  ResultStore r;
  read_result_file(r, post_file_name);
  EXPECT_GE(r.pn_cyc, 2);
  EXPECT_TRUE(r.is_non_design(3));
}

TEST(Topo, AnErrorEndsTheRunNonZeroWithItsMessage) {
  if (!topo_built()) GTEST_SKIP() << "the topo program is not built";
  test_support::WorkingDirectory dir;
  test_support::write_file("post_pl.dat", "results of another model\r\n");
  EXPECT_EQ(run_topo(), 1);
  EXPECT_NE(file_text("err.txt").find("fem_gr_jo.dat"), std::string::npos) << file_text("err.txt");
  EXPECT_FALSE(fs::exists("post_pl.dat"));  // no results of another model left behind
}
