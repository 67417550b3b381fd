// The calculation report of the frame on screen: what it says, as a document of headings,
// paragraphs, tables and pictures with every number already written in its unit. A renderer
// (the PDF writer of the windows) only lays it out on pages. Units of the tables: mm, kN,
// kN m, N/mm2, kg.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "evaluate/evaluation.h"
#include "evaluate/loading.h"
#include "formats/numtext.h"
#include "post/result_display.h"

class Canvas;

struct ReportTable {
  std::vector<std::string> header;             // each with its unit: "L_cr [mm]"
  std::vector<std::vector<std::string>> rows;  // as many cells as the header
  std::vector<bool> numeric;                   // per column: right-aligned
  bool last_row_total = false;                 // drawn in bold, after a rule
};

// A picture drawn on a canvas of width x height twips; placed `width_mm` wide on the page.
struct ReportPicture {
  double width = 8000, height = 8000;  // twips
  double width_mm = 120;
  std::function<void(Canvas&)> draw;
};

struct ReportBlock {
  enum class Kind { heading, subheading, paragraph, table, picture };
  Kind kind = Kind::paragraph;
  std::string text;  // heading, paragraph, or a picture's or table's caption
  ReportTable table;
  ReportPicture picture;
};

struct Report {
  std::string title;   // on the first page
  std::string header;  // on every page: the working directory and the date
  std::vector<ReportBlock> blocks;
  void heading(const std::string& text);
  void subheading(const std::string& text);
  void paragraph(const std::string& text);
  void table(const std::string& caption, ReportTable t);
  void picture(const std::string& caption, ReportPicture p);
};

// The job's title block on the first page, in the order of report_title_fields.
using ReportTitle = std::array<std::string, 6>;
inline constexpr std::array<const char*, 6> report_title_fields{"Project",  "Job number", "Structure",
                                                                "Designer", "Checker",    "Revision"};

// Everything the report is made of: the frame on screen as the post-processing window holds it.
struct ReportInput {
  const ResultStore* store = nullptr;
  const ModelFile* model = nullptr;  // the whole model file, as read by the evaluation
  const Evaluated* shown = nullptr;   // the frame on screen; without forces the report says why it cannot stand
  ResultPicture picture;  // the view on screen, with its colours and legend
  CheckSettings steel;
  Loading loading;
  ReportTitle title;                    // empty fields are left blank
  std::string folder;                   // the working directory
  std::string date;                     // "2026-12-07 21:05"
  std::vector<FileStamp> files;         // the input files as read and used
  std::string problem;                  // why there are no forces, when there are none
};

Report make_report(const ReportInput& in);

// The supports and springs of load case c (from 0): one row per node that holds any, its fixed
// degrees of freedom named ("L W rH", "-" for none), springs in kN/mm and kN m/rad.
ReportTable supports_table(const ModelFile& m, size_t c);
// The loads of load case c at the nodes that carry any, kN and kN m.
ReportTable loads_table(const ModelFile& m, size_t c);

// The input files as read and used: name, size, CRC-32, and how each stands on disk now, which
// is looked at without waiting and within the size a data file may have.
ReportTable input_file_table(const std::vector<FileStamp>& files);

// The convergence history as a picture: compliance (left, logarithmic) and volume ratio (right)
// against cycle, on a canvas of width x height twips.
void draw_convergence(Canvas& c, const std::vector<CyclePoint>& history, double width, double height);
