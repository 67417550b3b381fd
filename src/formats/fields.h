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
// found" when there is none (also for a link to nothing: "path: a symbolic link to nothing"),
// "Not a data file (path: a folder, not a regular file)" for anything but a regular file or a
// loop of links, "Cannot read file (path: reading it is not permitted)" when the system refuses
// with its reason, "File too large" beyond the limit (also for a file that grows while read).
std::string read_regular_file(const std::string& path, std::uintmax_t limit, bool follow_links = false);

// True when nothing at all stands at `path` (not even a link to nothing): the one case in which
// a reader of an optional file takes its defaults without a word.
bool file_absent(const std::string& path);

// What a file held when it was read or written: its path, size and CRC-32 (IEEE 802.3, the
// polynomial of zip and PNG). An empty path is no file.
struct FileStamp {
  std::string path;
  std::uintmax_t size = 0;
  std::uint32_t crc = 0;
  bool operator==(const FileStamp&) const = default;
};
std::uint32_t crc32_of(std::string_view bytes);
FileStamp stamp_of(const std::string& path, std::string_view bytes);
// How the file stands now against what it held then, read as a data file is (without waiting,
// within max_data_file_bytes): "unchanged", "changed since read", "removed since read",
// "cannot be read now", or what stands there instead ("a named pipe now").
std::string on_disk_since(const FileStamp& then);

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
  // The target with what has been written to it so far.
  FileStamp stamp() const { return {path_, written_, crc_ ^ 0xFFFFFFFFu}; }

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
  std::uintmax_t written_ = 0;
  std::uint32_t crc_ = 0xFFFFFFFFu;  // running CRC-32 of what was written
};

// Commits files that belong together (a table and the tables beside it) as one: every
// temporary file is completed first, and the old file of each target kept beside it
// ("<temporary name>.old"); then a list of the set ("<first temporary name>.set") is written,
// each is renamed over its target, and the list and the old files go. When one cannot be
// renamed, the targets already replaced get their old files back (or go, where there was none),
// so that the set is replaced whole or not at all. A writer killed between its renames leaves
// the list, by which roll_back_commit() later gives every target its old file again.
void commit_together(const std::vector<DataFileWriter*>& writers);
// Undoes a commit_together() that did not finish, from the list it left: every target renamed
// gets its old file back (or goes, where there was none), and the list, the old files and the
// temporary files of the set go. A list cut short (a kill while it was written) was written
// before any rename: only it goes. Runs again safely after a kill part-way.
void roll_back_commit(const std::string& set_list);
// For tests of a kill part-way through a commit: called before each rename of commit_together()
// with its number from 0, and with the number of writers after the last.
inline void (*before_commit_rename)(size_t) = nullptr;

// How lines end: CR LF or LF (a CR before other text stays in the line), or, for files that
// people edit in other programs, also a CR alone, as some spreadsheets save text.
enum class LineEnds { crlf_or_lf, any };

// Reads a data file line by line and cuts fields from the current line.
// Errors name the file and the line: "Type mismatch (fem_gr_jo.dat, line 12)".
class DataFileReader {
 public:
  // Raises the errors of read_regular_file() ("File not found", "Not a data file" for a folder,
  // pipe or device, "Cannot read file", and "File too large" beyond max_data_file_bytes), links
  // followed; the file is read whole only after these checks. A UTF-8 byte-order mark at its
  // start is skipped.
  explicit DataFileReader(std::string path, LineEnds ends = LineEnds::crlf_or_lf);
  // The file as read, whole.
  FileStamp stamp() const { return stamp_of(path_, content_); }

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
// True when `text` is valid UTF-8: no stray or missing continuation byte, no overlong form, no
// surrogate, nothing beyond U+10FFFF.
bool valid_utf8(std::string_view text);

// Far above the largest file the capacities allow (a result file of 200 cycles of 1000 nodes
// and 10000 elements is about 55 MB), and small enough to hold whole.
inline constexpr std::uintmax_t max_data_file_bytes = std::uintmax_t{64} << 20;
