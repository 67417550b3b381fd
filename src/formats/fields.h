// Fixed-width data files: one writer and one reader of fields for every file. Lines are
// concatenations of fields without separators, ended by CR LF; fields are cut by 1-based column.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// I5: an integer right-aligned in five characters.
std::string field_i5(long value);
// E15: always exactly 15 characters, "    2.06000E+05", "   -5.00000E-01", "    0.00000E+00".
std::string field_e15(double value);

// A coordinate (mm) as the model file will hold it, for every text that names a place: the six
// significant digits of its E15 field, shortest ("1000", never "999.999"), and "0" within a
// millionth of `size`, the model's largest span in mm (the rounding of the mesh, not a place).
std::string coordinate_text(double value, double size = 0);
// "L 2000, W 1000, H 1000": a place, each coordinate as coordinate_text writes it.
std::string place_text(double l, double w, double h, double size = 0);
// "(2000, 1000, 1000)": the same without the axes' letters.
std::string point_text(double l, double w, double h, double size = 0);

// One line of fields, built left to right.
class FieldLine {
 public:
  FieldLine& i5(long value);
  FieldLine& e15(double value);
  FieldLine& text(std::string_view text);
  FieldLine& clear() {  // for building many lines in one, without allocating each anew
    text_.clear();
    return *this;
  }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

// The most bytes a file name may have (one part of a path), on the file systems this runs on.
inline constexpr size_t max_file_name_bytes = 255;

// A writer's temporary file is the target's name, this suffix and the writing process's id, so
// that two processes writing one file never share it.
inline constexpr const char* temp_suffix = ".tmp";

// How every temporary name of `target` begins, as a file name in the target's folder:
// "<name>.tmp", or, for a name so long that the temporary name would pass the 255 bytes a file
// name may have, the name cut short (at a whole character) with a hash of the whole name,
// "<start>~<8 hex digits>.tmp", so that every legal name can be written.
std::string temp_file_prefix(const std::string& target);
// The temporary file of `target` written by process `pid`: beside the target, its prefix,
// "." and the process id.
std::string temp_file_path(const std::string& target, long long pid);

// A file that would grow past the process's file-size limit (ulimit -f) ends the process with
// SIGXFSZ unless that signal is ignored; ignored, the write fails as on a full disk and the
// writer reports "Cannot write file". Every program calls this first.
void ignore_file_size_signal();

// What a name in the folder is when it is no regular file: "a symbolic link", "a named pipe",
// "a folder", "a device" or "a socket"; "" for a regular file or a name that does not exist.
// A link is told as a link, whatever it points to.
std::string not_regular_kind(const std::string& path);

// Opens `path` for writing (flags as for open(2), O_WRONLY or O_RDWR with O_CREAT and the like)
// only when it is, or becomes, a regular file, never through a symbolic link: a link, pipe,
// device or folder of that name is refused at once with "Cannot write file (path: a named pipe,
// not a regular file)", without waiting for a reader and without touching what a link points
// to. Returns the descriptor (close-on-exec).
int open_regular_for_writing(const std::string& path, int flags);

// The whole of a regular file of at most `limit` bytes, read without ever waiting (a pipe put
// in its place) and, unless `follow_links`, without following a symbolic link. "File not
// found" when there is none, "Not a data file (path: a folder)" for anything but a regular
// file, "File too large" beyond the limit (also for a file that grows while it is read).
std::string read_regular_file(const std::string& path, std::uintmax_t limit, bool follow_links = false);

// Writes a data file whole and atomically: lines go to a temporary file beside the target,
// and commit() renames it over the target. A writer destroyed without commit() removes its
// temporary file and leaves the old file untouched. Failures raise "Cannot write file" with
// the file's name and, when the system gave one, its reason ("out.dat: the disk is full");
// after a failure every later call raises the same. A target that is a link, pipe, folder or
// device is refused before anything is written, naming what it is: the rename would replace
// it, and its owner put it there for a reason. Text files go line by line; a binary file (an
// STL mesh) goes through bytes().
class DataFileWriter {
 public:
  explicit DataFileWriter(std::string path);
  ~DataFileWriter();
  DataFileWriter(const DataFileWriter&) = delete;
  DataFileWriter& operator=(const DataFileWriter&) = delete;

  void line(std::string_view text);  // CR LF is appended
  void line(const FieldLine& fields) { line(fields.str()); }
  void bytes(std::string_view data);  // written exactly as given
  void commit();

 private:
  friend void commit_together(const std::vector<DataFileWriter*>& writers);
  void put(std::string_view data);
  void finish();  // the temporary file complete and closed, not yet renamed
  [[noreturn]] void fail(int errnum);
  std::string where() const { return failure_.empty() ? path_ : failure_; }
  std::string path_;
  std::string temp_path_;
  std::ofstream out_;
  bool committed_ = false;
  std::string failure_;  // "path: why" once a write failed
};

// Commits files that belong together (a table and the tables beside it) as one: every
// temporary file is completed first, then each is renamed over its target; when one cannot be
// written or renamed, the targets already replaced get their old files back (or go, where
// there was none), so that the set is replaced whole or not at all.
void commit_together(const std::vector<DataFileWriter*>& writers);

// How lines end: CR LF or LF (a CR before other text stays in the line), or, for files that
// people edit in other programs, also a CR alone, as some spreadsheets save text.
enum class LineEnds { crlf_or_lf, any };

// Reads a data file line by line and cuts fields from the current line.
// Errors name the file and the line: "Type mismatch (fem_gr_jo.dat, line 12)".
class DataFileReader {
 public:
  // Raises "File not found" when the file does not exist or cannot be opened, "Not a data
  // file" for a folder, pipe or device, and "File too large" beyond max_data_file_bytes; the
  // file is read whole only after these checks. A UTF-8 byte-order mark at its start is skipped.
  explicit DataFileReader(std::string path, LineEnds ends = LineEnds::crlf_or_lf);

  bool at_end() const { return next_ >= content_.size(); }
  // Moves to the next line; "Input past end of file" when there is none.
  const std::string& next_line();
  int line_no() const { return line_no_; }  // 1-based number of the current line
  const std::string& path() const { return path_; }

  // The field of the current line at 1-based column col, width characters, cut short when the
  // line is; leading blanks are kept.
  std::string field(int col, int width) const;
  // The field read as a number (blanks ignored); "Type mismatch" for an empty or malformed
  // field and for a line that ends inside the field, whose number would be cut short.
  double real(int col, int width) const;
  // The field read as a number stored as Single; "Overflow" beyond the Single range.
  float single(int col, int width) const;
  // The field read as a number and rounded to a 16-bit Integer; "Overflow" out of range.
  int16_t int16(int col, int width) const;

  // A run-time error about the current line, with what was wrong when there is more to say.
  [[noreturn]] void fail(const std::string& name, const std::string& detail = {}) const;

 private:
  std::string path_;
  LineEnds ends_;
  std::string content_;  // the whole file; lines are cut from it one at a time
  size_t next_ = 0;      // offset of the next line in content_
  int line_no_ = 0;
  std::string line_;     // the current line without its line end
};

// The cells of one line of a comma-separated file, each without its surrounding blanks (and a
// CR left by a line end); a line without a comma is one cell.
std::vector<std::string> comma_cells(std::string_view line);

// Far above the largest file the capacities allow (a result file of 200 cycles of 1000 nodes
// and 10000 elements is about 55 MB), and small enough to hold whole.
inline constexpr std::uintmax_t max_data_file_bytes = std::uintmax_t{64} << 20;
