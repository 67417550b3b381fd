// Shared by the fuzz targets: a private directory for the files a target writes, the input
// written there as a data file, and the check that turns a broken promise of a reader into a
// crash that libFuzzer reports with its input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <stdlib.h>  // mkdtemp

namespace fuzz {

// A directory of this process alone (so that parallel runs never share files), removed when
// the process ends normally.
inline const std::filesystem::path& private_dir() {
  // Never destroyed, so that the exit handler can still use it.
  static const std::filesystem::path* dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "marulla_fuzz_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    auto* made = new std::filesystem::path(pattern);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(private_dir(), ec);
    });
    return made;
  }();
  return *dir;
}

inline std::string path_of(const char* name) { return (private_dir() / name).string(); }

// Writes `bytes` as the file `name` of the private directory and returns its path.
inline std::string put(const char* name, const std::string& bytes) {
  const std::string path = path_of(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::perror(path.c_str());
    std::abort();
  }
  return path;
}

inline std::string text_of(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string input(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A promise of a reader that the input broke: libFuzzer keeps the input as a crash.
inline void check(bool kept, const char* promise) {
  if (kept) return;
  std::fprintf(stderr, "marulla fuzz: broken promise: %s\n", promise);
  std::abort();
}

}  // namespace fuzz
