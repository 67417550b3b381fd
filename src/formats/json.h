// A small JSON writer for the state dumps and canvas records of the scenario runner.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
 public:
  JsonWriter& begin_object();
  JsonWriter& end_object();
  JsonWriter& begin_array();
  JsonWriter& end_array();
  JsonWriter& key(std::string_view name);
  JsonWriter& value(double v);  // shortest text that reads back as the same double
  JsonWriter& value(float v);   // shortest text that reads back as the same Single
  JsonWriter& value(int16_t v) { return value(static_cast<int>(v)); }
  JsonWriter& value(int v);
  JsonWriter& value(long v);
  JsonWriter& value(bool v);
  JsonWriter& value(std::string_view v);
  JsonWriter& value(const char* v) { return value(std::string_view(v)); }
  JsonWriter& null();
  template <typename T>
  JsonWriter& array(const std::vector<T>& values) {
    begin_array();
    for (const T& v : values) value(v);
    return end_array();
  }
  const std::string& str() const { return out_; }

 private:
  void separate();
  template <typename Real>
  JsonWriter& real(Real v);
  std::string out_;
  std::vector<bool> first_;  // per open container: no element written yet
  bool after_key_ = false;
};
