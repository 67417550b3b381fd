// Fixed-width data files.
#include "formats/fields.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/errors.h"
#include "formats/numtext.h"

namespace {
constexpr size_t e15_width = 15;
constexpr char e15_zero[] = "    0.00000E+00";

void remove_quietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

// True when a equals D 10^(e - 6) exactly, D a seven-digit integer: the value lies exactly
// halfway between two six-digit neighbours. Below 10^-4 (a power of five beyond D) or above
// 10^20 (more than 53 significant bits) no such value is a double.
bool exact_seven_digits(double a, uint32_t D, int e) {
  const int j = e - 6;
  if (j >= 0) {
    // a = D 5^j 2^j: compare a / 2^j (exact) with D 5^j, which fits 64 bits up to e = 20.
    if (e > 20) return false;
    const double b = std::ldexp(a, -j);
    if (b != std::floor(b) || b >= 1e19) return false;
    uint64_t t = D;
    for (int k = 0; k < j; ++k) t *= 5;
    return static_cast<uint64_t>(b) == t;
  }
  uint32_t p = 1;
  for (int k = 0; k < -j; ++k) {
    p *= 5;
    if (p > D) return false;
  }
  return D % p == 0 && a == std::ldexp(static_cast<double>(D / p), j);
}

// The six significant digits of a > 0 rounded half away from zero on its exact value, and the
// decimal exponent: a ~ digits 10^(exp - 5). The shortest digits that read back as a decide
// every case but one: a shortest form of exactly seven digits ending in 5 is the halfway point
// itself, and only then does it matter whether a is that point exactly (round up) or the
// double just beside it (to_chars rounds that correctly).
uint32_t six_digits(double a, int& exp) {
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
  // buf: d[.ddd...]e[+-]xx
  char digits_text[17];
  int n = 0;
  const char* c = buf;
  for (; *c != 'e'; ++c)
    if (*c != '.') digits_text[n++] = *c;
  std::from_chars(c + 1 + (c[1] == '+'), r.ptr, exp);
  uint32_t digits = 0;
  for (int k = 0; k < 6; ++k) digits = 10 * digits + static_cast<uint32_t>(k < n ? digits_text[k] - '0' : 0);
  if (n == 7 && digits_text[6] == '5' && !exact_seven_digits(a, 10 * digits + 5, exp)) {
    r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 5);
    digits = static_cast<uint32_t>(buf[0] - '0');
    for (int k = 2; k < 7; ++k) digits = 10 * digits + static_cast<uint32_t>(buf[k] - '0');
    std::from_chars(buf + 8 + (buf[8] == '+'), r.ptr, exp);
    return digits;
  }
  if (n > 6 && digits_text[6] >= '5' && ++digits == 1000000) {
    digits = 100000;
    ++exp;
  }
  return digits;
}

// The nearest doubles to 1e-110 .. 1e110.
double power_of_ten(int k) {
  static const std::array<double, 221> table = [] {
    std::array<double, 221> t{};
    for (int i = -110; i <= 110; ++i) t[static_cast<size_t>(i + 110)] = std::strtod(("1e" + std::to_string(i)).c_str(), nullptr);
    return t;
  }();
  return table[static_cast<size_t>(k + 110)];
}

// The common case without any text: a scaled into [1e5, 1e6) is off by a few 1e-10 at most, so
// its rounding is certain unless its fraction is near a half; then (false) six_digits decides.
bool six_digits_scaled(double a, uint32_t& digits, int& exp) {
  if (!(a >= 1e-100 && a < 1e100)) return false;
  int e2 = 0;
  std::frexp(a, &e2);
  exp = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398120));  // log10(a) rounded down, or one less
  double m = a * power_of_ten(5 - exp);
  if (m >= 1e6) m = a * power_of_ten(5 - ++exp);
  if (m < 1e5) m = a * power_of_ten(5 - --exp);
  const double whole = std::floor(m), fraction = m - whole;
  if (!(std::fabs(fraction - 0.5) > 1e-4) || !(whole >= 1e5 && whole < 1e6)) return false;
  digits = static_cast<uint32_t>(whole) + (fraction > 0.5 ? 1 : 0);
  if (digits == 1000000) {
    digits = 100000;
    ++exp;
  }
  return true;
}

// Writes the 15 characters of an E15 field; false when the exponent needs three digits.
bool put_e15(char* out, double value) {
  if (!std::isfinite(value)) raise_error(err::overflow);
  if (value == 0) {
    std::memcpy(out, e15_zero, e15_width);
    return true;
  }
  int exp = 0;
  uint32_t digits = 0;
  if (!six_digits_scaled(std::fabs(value), digits, exp)) digits = six_digits(std::fabs(value), exp);
  if (exp >= 100 || exp <= -100) return false;
  std::memcpy(out, value < 0 ? "   -" : "    ", 4);
  for (int k = 10; k >= 5; --k) {
    out[k == 5 ? 4 : k] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  out[5] = '.';
  out[11] = 'E';
  out[12] = exp < 0 ? '-' : '+';
  const int m = exp < 0 ? -exp : exp;
  out[13] = static_cast<char>('0' + m / 10);
  out[14] = static_cast<char>('0' + m % 10);
  return true;
}

// Right-aligned in five characters; a wider number is written whole.
void append_i5(std::string& out, long value) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, value);
  const auto n = static_cast<size_t>(r.ptr - buf);
  if (n < 5) out.append(5 - n, ' ');
  out.append(buf, n);
}

// A three-digit exponent does not fit in 15 characters. Magnitudes that round to 1E+100 or
// more cannot be written: "Overflow" rather than a field that shifts every later column.
// Magnitudes that round below 1E-99 are written as zero; they are far below anything the
// solvers can tell from zero.
void append_e15(std::string& out, double value) {
  char field[e15_width];
  if (!put_e15(field, value)) {
    if (std::fabs(value) >= 1) raise_error(err::overflow);
    std::memcpy(field, e15_zero, e15_width);
  }
  out.append(field, e15_width);
}
}  // namespace

std::string field_i5(long value) {
  std::string out;
  append_i5(out, value);
  return out;
}

std::string field_e15(double value) {
  std::string out;
  append_e15(out, value);
  return out;
}

std::string coordinate_text(double value, double size) {
  if (!std::isfinite(value)) return std::to_string(value);  // a message that names it still reads
  if (std::fabs(value) <= 1e-6 * size) return "0";
  return plain_text(std::strtod(field_e15(value).c_str(), nullptr));
}

std::string place_text(double l, double w, double h, double size) {
  return "L " + coordinate_text(l, size) + ", W " + coordinate_text(w, size) + ", H " + coordinate_text(h, size);
}

std::string point_text(double l, double w, double h, double size) {
  return "(" + coordinate_text(l, size) + ", " + coordinate_text(w, size) + ", " + coordinate_text(h, size) + ")";
}

FieldLine& FieldLine::i5(long value) {
  append_i5(text_, value);
  return *this;
}

FieldLine& FieldLine::e15(double value) {
  append_e15(text_, value);
  return *this;
}

FieldLine& FieldLine::text(std::string_view text) {
  text_ += text;
  return *this;
}

namespace {
// Room a temporary name needs after the prefix: "." and a process id, and ".cycles" of the
// result file's spool.
constexpr size_t temp_tail = 1 + 10 + 7;

uint32_t name_hash(const std::string& name) {  // FNV-1a
  uint32_t h = 2166136261u;
  for (unsigned char ch : name) h = (h ^ ch) * 16777619u;
  return h;
}
}  // namespace

std::string temp_file_prefix(const std::string& target) {
  const std::string name = std::filesystem::path(target).filename().string();
  const size_t suffix = std::strlen(temp_suffix);
  if (name.size() + suffix + temp_tail <= max_file_name_bytes) return name + temp_suffix;
  char hash[16];
  std::snprintf(hash, sizeof hash, "~%08x", static_cast<unsigned>(name_hash(name)));
  size_t keep = max_file_name_bytes - temp_tail - suffix - std::strlen(hash);
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;  // a whole UTF-8 character
  return name.substr(0, keep) + hash + temp_suffix;
}

std::string temp_file_path(const std::string& target, long long pid) {
  const std::filesystem::path dir = std::filesystem::path(target).parent_path();
  return (dir / (temp_file_prefix(target) + "." + std::to_string(pid))).string();
}

void ignore_file_size_signal() { std::signal(SIGXFSZ, SIG_IGN); }

namespace {
const char* kind_of(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISLNK(mode)) return "a symbolic link";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "no regular file";
}

std::string refusal(const std::string& path, const char* kind) { return path + ": " + kind + ", not a regular file"; }
}  // namespace

std::string not_regular_kind(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return {};
  return kind_of(st.st_mode);
}

int open_regular_for_writing(const std::string& path, int flags) {
  // Without O_NONBLOCK, opening a pipe for writing waits for a reader, for ever.
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) {
    if (const std::string kind = not_regular_kind(path); !kind.empty()) raise_error(err::write_failed, refusal(path, kind.c_str()));
    raise_error(err::write_failed, path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    raise_error(err::write_failed, refusal(path, kind_of(st.st_mode)));
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

namespace {
// "path", or "path: why" when the system said why.
std::string failed_path(const std::string& path, int errnum) {
  const std::string why = write_failure_cause(errnum);
  return why.empty() ? path : path + ": " + why;
}
}  // namespace

namespace {
// Why a file could not be opened for reading (errno `why`), as the error to raise.
[[noreturn]] void refuse_open(const std::string& path, int why, bool follow_links) {
  const std::string kind = not_regular_kind(path);
  if (why == ENOENT)
    raise_error(err::file_not_found, kind.empty() ? path : path + ": " + kind + " to nothing");
  if (why == ELOOP && follow_links) raise_error(err::not_a_file, path + ": a loop of symbolic links");
  if ((why == ELOOP || why == ENXIO) && !kind.empty()) raise_error(err::not_a_file, refusal(path, kind.c_str()));
  raise_error(err::cannot_read, path + ": " + read_failure_cause(why));
}
}  // namespace

bool file_absent(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::string read_regular_file(const std::string& path, std::uintmax_t limit, bool follow_links) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (follow_links ? 0 : O_NOFOLLOW));
  if (fd < 0) refuse_open(path, errno, follow_links);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    raise_error(err::not_a_file, refusal(path, kind_of(st.st_mode)));
  }
  if (static_cast<std::uintmax_t>(st.st_size) > limit) {
    ::close(fd);
    raise_error(err::too_large, path);
  }
  std::string text;
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || text.size() + static_cast<size_t>(n) > limit) {
      const int why = errno;
      ::close(fd);
      if (n < 0) raise_error(err::cannot_read, path + ": " + read_failure_cause(why));
      raise_error(err::too_large, path);
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return text;
}

namespace {
// The reflected CRC-32 over a block, carried on from `crc` (which starts at 0xFFFFFFFF and ends
// XORed with it).
std::uint32_t crc32_update(std::uint32_t crc, std::string_view data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  for (const char ch : data) crc = table[(crc ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (crc >> 8);
  return crc;
}
}  // namespace

std::uint32_t crc32_of(std::string_view bytes) { return crc32_update(0xFFFFFFFFu, bytes) ^ 0xFFFFFFFFu; }

FileStamp stamp_of(const std::string& path, std::string_view bytes) { return {path, bytes.size(), crc32_of(bytes)}; }

std::string on_disk_since(const FileStamp& then) {
  if (file_absent(then.path)) return "removed since read";
  try {
    const bool same = stamp_of(then.path, read_regular_file(then.path, max_data_file_bytes, true)) == then;
    return same ? "unchanged" : "changed since read";
  } catch (const RunTimeError&) {
    const std::string kind = not_regular_kind(then.path);
    return kind.empty() || kind == "a symbolic link" ? "cannot be read now" : kind + " now";
  }
}

DataFileWriter::DataFileWriter(std::string path) : path_(std::move(path)), temp_path_(temp_file_path(path_, ::getpid())) {
  // The temporary name is cut to fit; the target's own name is said to be too long before anything is written.
  if (std::filesystem::path(path_).filename().string().size() > max_file_name_bytes)
    raise_error(err::write_failed, path_ + ": the name is too long (a file name has at most " +
                                       std::to_string(max_file_name_bytes) + " bytes)");
  if (const std::string kind = not_regular_kind(path_); !kind.empty()) raise_error(err::write_failed, refusal(path_, kind.c_str()));
  // A file or pipe of the temporary name is this process's own leftover (a pipe would stop the
  // open for ever); a folder there stays, and the write fails.
  ::unlink(temp_path_.c_str());
  // Binary, so that CR LF is written as it is on every system.
  errno = 0;
  out_.open(temp_path_, std::ios::binary | std::ios::trunc);
  if (!out_) {  // what stands at the temporary name is not this writer's to remove
    failure_ = failed_path(path_, errno);
    raise_error(err::write_failed, failure_);
  }
}

DataFileWriter::~DataFileWriter() {
  if (committed_) return;
  if (out_.is_open()) out_.close();
  remove_quietly(temp_path_);
}

// After a failure the stream is closed, so every later line() or commit() fails as well:
// a writer that lost a line never reports success.
void DataFileWriter::line(std::string_view text) {
  put(text);
  put("\r\n");
}

void DataFileWriter::bytes(std::string_view data) { put(data); }

void DataFileWriter::put(std::string_view data) {
  if (committed_ || !out_.is_open()) raise_error(err::write_failed, where());
  errno = 0;
  out_.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out_) fail(errno);
  written_ += data.size();
  crc_ = crc32_update(crc_, data);
}

// The first failure is the one said, every time after.
void DataFileWriter::fail(int errnum) {
  if (failure_.empty()) failure_ = failed_path(path_, errnum);
  if (out_.is_open()) out_.close();
  remove_quietly(temp_path_);
  raise_error(err::write_failed, failure_);
}

void DataFileWriter::finish() {
  if (committed_ || !out_.is_open()) raise_error(err::write_failed, where());
  errno = 0;
  out_.flush();
  if (!out_) fail(errno);
  errno = 0;
  out_.close();  // a full disk may only show here
  if (out_.fail()) fail(errno);
}

void DataFileWriter::commit() {
  if (committed_) return;
  finish();
  if (::rename(temp_path_.c_str(), path_.c_str()) != 0) fail(errno);
  committed_ = true;
}

namespace {
constexpr const char* kept_suffix = ".old";
constexpr const char* set_suffix = ".set";
constexpr const char* set_end = "end";

// One target of a set being committed: its temporary file and whether its old file was kept.
struct SetEntry {
  std::string temp, target;
  bool had_old = false;
};

// Gives one target of a set what it held before the commit, however far the commit went: a
// temporary file still there was never renamed, so its target is as it was.
void roll_back_entry(const SetEntry& e) {
  const std::string old = e.temp + kept_suffix;
  if (!file_absent(e.temp)) ::unlink(e.temp.c_str());
  else if (!e.had_old) ::unlink(e.target.c_str());
  else if (!file_absent(old)) ::rename(old.c_str(), e.target.c_str());
  ::unlink(old.c_str());
}

// The list of a set: per target "0" or "1" (its old file kept), its temporary name and its
// name, each ended by a zero byte (a file name may hold any other), then "end".
void write_set_list(const std::string& path, const std::vector<SetEntry>& set) {
  std::string text;
  for (const SetEntry& e : set) {
    for (const std::string& field : {std::string(e.had_old ? "1" : "0"), e.temp, e.target}) text += field + '\0';
  }
  text += std::string(set_end) + '\0';
  const int fd = open_regular_for_writing(path, O_WRONLY | O_CREAT | O_TRUNC);
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  const int why = errno;
  ::close(fd);
  if (!written) {
    ::unlink(path.c_str());
    raise_error(err::write_failed, failed_path(path, why));
  }
}
}  // namespace

void roll_back_commit(const std::string& set_list) {
  std::string text;
  try {
    text = read_regular_file(set_list, max_data_file_bytes);
  } catch (const RunTimeError&) {
    return;  // nothing this program wrote
  }
  std::vector<std::string> fields;
  for (size_t at = 0, end; (end = text.find('\0', at)) != std::string::npos; at = end + 1)
    fields.push_back(text.substr(at, end - at));
  if (!fields.empty() && fields.back() == set_end)
    for (size_t k = 0; k + 3 < fields.size(); k += 3) roll_back_entry({fields[k + 1], fields[k + 2], fields[k] == "1"});
  ::unlink(set_list.c_str());
}

void commit_together(const std::vector<DataFileWriter*>& writers) {
  for (DataFileWriter* w : writers) w->finish();
  // Each target's old file is kept under a second name (a hard link, or a copy where the file
  // system has none) until every rename has been made.
  std::vector<SetEntry> set;
  const auto drop_kept = [&] {
    for (const SetEntry& e : set) ::unlink((e.temp + kept_suffix).c_str());
  };
  for (DataFileWriter* w : writers) {
    const std::string old = w->temp_path_ + kept_suffix;
    set.push_back({w->temp_path_, w->path_, false});
    ::unlink(old.c_str());
    if (::link(w->path_.c_str(), old.c_str()) == 0) {
      set.back().had_old = true;
      continue;
    }
    const bool absent = errno == ENOENT;
    std::error_code ec;
    // Nothing there yet; or a folder, which the rename below refuses.
    if (absent || std::filesystem::is_directory(std::filesystem::symlink_status(w->path_, ec))) continue;
    if (std::filesystem::copy_file(w->path_, old, ec)) {
      set.back().had_old = true;
      continue;
    }
    drop_kept();
    w->fail(ec.value());
  }
  const std::string list = writers.front()->temp_path_ + set_suffix;
  try {
    write_set_list(list, set);
  } catch (const RunTimeError&) {
    drop_kept();
    throw;
  }
  for (size_t i = 0; i < writers.size(); ++i) {
    DataFileWriter& w = *writers[i];
    if (before_commit_rename) before_commit_rename(i);
    if (::rename(w.temp_path_.c_str(), w.path_.c_str()) == 0) {
      w.committed_ = true;
      continue;
    }
    const int why = errno;
    for (size_t k = 0; k < writers.size(); ++k) {
      if (k != i) roll_back_entry(set[k]);
      writers[k]->committed_ = false;
    }
    ::unlink((set[i].temp + kept_suffix).c_str());
    ::unlink(list.c_str());
    w.fail(why);
  }
  if (before_commit_rename) before_commit_rename(writers.size());
  ::unlink(list.c_str());  // from here on the set is the new one
  drop_kept();
}

// Opened without waiting (a pipe would wait for a writer) and checked on the open file, so that
// a device or a huge file is never read until memory runs out. Data files may be links.
DataFileReader::DataFileReader(std::string path, LineEnds ends) : path_(std::move(path)), ends_(ends) {
  content_ = read_regular_file(path_, max_data_file_bytes, true);
  // A spreadsheet's or an editor's byte-order mark is no part of the first line.
  if (content_.rfind("\xEF\xBB\xBF", 0) == 0) next_ = 3;
}

// Reading past the last line is about the file, not a line of it.
const std::string& DataFileReader::next_line() {
  if (at_end()) raise_error(err::past_end, path_);
  size_t end = content_.find_first_of(ends_ == LineEnds::any ? "\r\n" : "\n", next_);
  if (end == std::string::npos) end = content_.size();
  line_.assign(content_, next_, end - next_);
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  next_ = end + (content_.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  ++line_no_;
  return line_;
}

// Before the first next_line() there is no current line: it reads as an empty one.
std::string DataFileReader::field(int col, int width) const {
  if (line_no_ == 0 || width <= 0) return {};
  const std::string& text = line_;
  long long start = static_cast<long long>(col) - 1;
  long long count = width;
  if (start < 0) {  // columns before the first do not exist
    count += start;
    start = 0;
  }
  if (count <= 0 || start >= static_cast<long long>(text.size())) return {};
  return text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}

double DataFileReader::real(int col, int width) const {
  // A number cut by the line end would be read as another number (15.9577 as 1.59).
  if (static_cast<long long>(line_.size()) < static_cast<long long>(col) - 1 + width) fail(err::type_mismatch);
  try {
    return to_number(field(col, width));
  } catch (const RunTimeError& e) {
    fail(e.name());
  }
}

float DataFileReader::single(int col, int width) const {
  const double v = real(col, width);
  if (!in_single_range(v)) fail(err::overflow);
  return static_cast<float>(v);
}

int16_t DataFileReader::int16(int col, int width) const {
  const double value = real(col, width);
  try {
    return to_i16(value);
  } catch (const RunTimeError& e) {
    fail(e.name());
  }
}

void DataFileReader::fail(const std::string& name, const std::string& detail) const {
  const std::string where = line_no_ == 0 ? path_ : path_ + ", line " + std::to_string(line_no());
  raise_error(name, detail.empty() ? where : where + ": " + detail);
}

std::vector<std::string> comma_cells(std::string_view line) {
  std::vector<std::string> out(1);
  for (char c : line) {
    if (c == ',') out.emplace_back();
    else if (c != '\r') out.back().push_back(c);
  }
  for (std::string& s : out) {
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
  }
  return out;
}

bool valid_utf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    const size_t n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((byte(i + k) & 0xC0) != 0x80) return false;
    // The second byte's range that excludes overlong forms, surrogates and code points past U+10FFFF.
    if ((b == 0xE0 && byte(i + 1) < 0xA0) || (b == 0xED && byte(i + 1) > 0x9F) || (b == 0xF0 && byte(i + 1) < 0x90) ||
        (b == 0xF4 && byte(i + 1) > 0x8F))
      return false;
    i += n;
  }
  return true;
}
