// Fixed-capacity arrays of the stores: every dimension runs from 0 to its capacity (index 0
// unused by convention), all elements start at zero, and an index beyond a bound raises
// "Subscript out of range" instead of touching memory past the array.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "formats/errors.h"

template <typename T, int... Bounds>
class Table {
 public:
  static constexpr int rank = sizeof...(Bounds);
  static constexpr std::array<int, rank> bounds{Bounds...};

  Table() : data_(size(), T{}) {}

  template <typename... I>
  T& operator()(I... index) {
    return data_[offset(static_cast<long>(index)...)];
  }
  template <typename... I>
  const T& operator()(I... index) const {
    return data_[offset(static_cast<long>(index)...)];
  }
  void fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }

 private:
  static constexpr std::size_t size() {
    std::size_t n = 1;
    for (int b : bounds) n *= static_cast<std::size_t>(b) + 1;
    return n;
  }
  template <typename... I>
  static std::size_t offset(I... index) {
    static_assert(sizeof...(I) == rank, "wrong number of indices");
    const long idx[] = {index...};
    std::size_t at = 0;
    for (int d = 0; d < rank; ++d) {
      if (idx[d] < 0 || idx[d] > bounds[d])
        raise_error(err::subscript, "index " + std::to_string(idx[d]) + " of 0.." + std::to_string(bounds[d]));
      at = at * (static_cast<std::size_t>(bounds[d]) + 1) + static_cast<std::size_t>(idx[d]);
    }
    return at;
  }
  std::vector<T> data_;
};
