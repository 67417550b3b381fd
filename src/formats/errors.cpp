// Run-time errors and the reporter every message goes through.
#include "formats/errors.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {
std::string message_of(const std::string& name, const std::string& where) {
  return where.empty() ? name : name + " (" + where + ")";
}

ErrorReporter& reporter() {
  static ErrorReporter r = [](const std::string& message) {
    std::fprintf(stderr, "marulla: %s\n", message.c_str());
  };
  return r;
}
}  // namespace

RunTimeError::RunTimeError(const std::string& name, const std::string& where)
    : std::runtime_error(message_of(name, where)), name_(name), where_(where) {}

void raise_error(const std::string& name, const std::string& where) { throw RunTimeError(name, where); }

void set_error_reporter(ErrorReporter r) { reporter() = std::move(r); }

void report_error(const std::string& message) { reporter()(message); }

std::string write_failure_cause(int errnum) {
  switch (errnum) {
    case 0:
      return {};
    case EACCES:
    case EPERM:
      return "writing there is not permitted: the folder is read-only";
    case EROFS:
      return "the disk is read-only";
    case ENOSPC:
      return "the disk is full";
    case EDQUOT:
      return "the disk quota is used up";
    case EFBIG:
      return "the file would be larger than the system allows";
    case ENAMETOOLONG:
      return "the name is too long";
    case ENOENT:
      return "the folder does not exist";
    case ENOTDIR:
      return "a part of the path is not a folder";
    case EISDIR:
      return "a folder of that name is in the way";
    case EMFILE:
    case ENFILE:
      return "too many files are open";
    case EIO:
      return "the disk failed to write (input/output error)";
    default: {
      std::string text = std::strerror(errnum);  // the system's own words, as a clause
      if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
      return text;
    }
  }
}

std::string read_failure_cause(int errnum) {
  switch (errnum) {
    case EACCES:
    case EPERM:
      return "reading it is not permitted";
    case ENAMETOOLONG:
      return "the name is too long";
    case ENOTDIR:
      return "a part of the path is not a folder";
    case EIO:
      return "the disk failed to read (input/output error)";
    default:
      return write_failure_cause(errnum);
  }
}
