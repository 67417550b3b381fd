// Fixed-width data files.
#include "formats/fields.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/errors.h"
#include "formats/numtext.h"

namespace {
constexpr size_t e15_width = 15;

void remove_quietly(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
}
}  // namespace

std::string field_i5(long value) { return format_at5(std::to_string(value)); }

// A three-digit exponent does not fit in 15 characters. Magnitudes that round to 1E+100 or
// more cannot be written: "Overflow" rather than a field that shifts every later column.
// Magnitudes that round below 1E-99 are written as zero; they are far below anything the
// solvers can tell from zero.
std::string field_e15(double value) {
  std::string text = format_number(value, pattern::e15);
  if (text.size() == e15_width) return text;
  if (std::fabs(value) >= 1) raise_error(err::overflow);
  return format_number(0.0, pattern::e15);
}

FieldLine& FieldLine::i5(long value) {
  text_ += field_i5(value);
  return *this;
}

FieldLine& FieldLine::e15(double value) {
  text_ += field_e15(value);
  return *this;
}

FieldLine& FieldLine::text(std::string_view text) {
  text_ += text;
  return *this;
}

DataFileWriter::DataFileWriter(std::string path) : path_(std::move(path)), temp_path_(path_ + ".tmp") {
  // Binary, so that CR LF is written as it is on every system.
  out_.open(temp_path_, std::ios::binary | std::ios::trunc);
  if (!out_) raise_error(err::write_failed, path_);
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
  if (committed_ || !out_.is_open()) raise_error(err::write_failed, path_);
  out_.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out_) {
    out_.close();
    remove_quietly(temp_path_);
    raise_error(err::write_failed, path_);
  }
}

void DataFileWriter::commit() {
  if (committed_) return;
  if (!out_.is_open()) raise_error(err::write_failed, path_);
  out_.flush();
  const bool written = static_cast<bool>(out_);
  out_.close();  // a full disk may only show here
  std::error_code ec;
  if (written && !out_.fail()) std::filesystem::rename(temp_path_, path_, ec);
  if (!written || out_.fail() || ec) {
    remove_quietly(temp_path_);
    raise_error(err::write_failed, path_);
  }
  committed_ = true;
}

// The type and size are checked before the file is opened: opening a pipe would wait for a
// writer, and a device or a huge file would be read until memory runs out.
DataFileReader::DataFileReader(std::string path) : path_(std::move(path)) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path_, ec);
  if (!fs::exists(status)) raise_error(err::file_not_found, path_);
  if (!fs::is_regular_file(status)) raise_error(err::not_a_file, path_);
  if (fs::file_size(path_, ec) > max_data_file_bytes) raise_error(err::too_large, path_);
  std::ifstream in(path_, std::ios::binary);
  if (!in) raise_error(err::file_not_found, path_);
  // A file that grows while it is read still stops at the limit.
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    content_.append(buffer, static_cast<size_t>(in.gcount()));
    if (content_.size() > max_data_file_bytes) raise_error(err::too_large, path_);
  }
  if (in.bad()) raise_error(err::file_not_found, path_);
}

// Reading past the last line is about the file, not a line of it.
const std::string& DataFileReader::next_line() {
  if (at_end()) raise_error(err::past_end, path_);
  size_t end = content_.find('\n', next_);
  if (end == std::string::npos) end = content_.size();
  line_.assign(content_, next_, end - next_);
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  next_ = end + 1;
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
