// Run-time errors and the reporter every message goes through.
#include "formats/errors.h"

#include <cstdio>
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
