// The result file post_pl.dat that the post-processing window reads: the mesh once, then every
// cycle's node coordinates and element diameters.
#pragma once

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/files.h"
#include "optimiser.h"

struct ModelFile;

// Replaces the result file whole and atomically: header (node count, element count, Dmax in mm),
// one line per element (number, end nodes, kind 1 non-design or 0 design), then per cycle a
// cycle line (cycle, compliance N mm, volume ratio, change), the node lines (L, W, H in mm) and
// one line per element with its diameter in mm.
void write_result_file(const std::string& path, const ModelFile& model, const std::vector<CycleRecord>& cycles);

// Removes a result file left by an earlier run, so that its results are never shown for this model.
void remove_result_file(const std::string& path);

// The result file of a run as it goes on. Each cycle is formatted once, when it is added, and
// appended to a spool file of the writer's own beside the result file (post_pl.dat.tmp.<process
// id>.cycles, removed with the writer), so that the text of a long run is not held in memory;
// the file is replaced whole and atomically from the spool (so that "Read Data" always finds a
// complete one), at most once per interval. The interval is at least min_interval (s) and at least the cost of the
// last rewrite divided by rewrite_share, so that rewriting a file of many cycles of a large model
// stays that small share of the run however big the file grows.
class ResultFileWriter {
 public:
  using Clock = std::chrono::steady_clock;

  ResultFileWriter(std::string path, const ModelFile& model, double min_interval = 1.0, double rewrite_share = 0.01);
  ~ResultFileWriter();
  ResultFileWriter(const ResultFileWriter&) = delete;
  ResultFileWriter& operator=(const ResultFileWriter&) = delete;

  // Called after each rewrite with the number of cycles the file now holds.
  std::function<void(int)> on_written;

  void add(const CycleRecord& c);  // formats the cycle and rewrites the file when due
  void flush();                    // writes every cycle added so far, if the file lacks any

  double seconds() const { return seconds_; }             // formatting and writing so far
  double last_seconds() const { return last_seconds_; }   // ... in the last add() or flush()
  int rewrites() const { return rewrites_; }
  double rewrite_seconds() const { return rewrite_seconds_; }  // of seconds(), in replacing the file
  size_t bytes() const { return spooled_; }
  int written_cycles() const { return written_cycles_; }  // the cycles the file on disk holds

 private:
  void spool(const std::string& text);
  void rewrite();

  std::string path_, spool_path_;
  std::string nodes_;  // the node lines of every cycle
  double min_interval_, rewrite_share_;
  std::ofstream spool_;  // the whole file's text so far, CR LF line ends
  size_t spooled_ = 0;   // bytes in the spool
  int spooled_cycles_ = 0;
  int written_cycles_ = 0;
  size_t written_ = 0;   // of them, bytes in the result file on disk
  Clock::time_point last_write_;
  double last_cost_ = 0;  // seconds of the last rewrite
  double seconds_ = 0, last_seconds_ = 0, rewrite_seconds_ = 0;
  int rewrites_ = 0;
};

// A note for the start of a run whose model is bigger than the post-processing window reads,
// or "" when the window reads it.
std::string post_window_notice(const ModelFile& model);
