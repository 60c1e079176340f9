#pragma once
// Which control shows which setting: the tables the two copy routines walk.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/database.h"

// Reads and writes one integer-like field of the model (a bool reads as 0 or 1).
struct TFieldAccess {
  std::function<int32_t(const w830::Tdata7400&)> get;
  std::function<void(w830::Tdata7400&, int32_t)> set;
};

template <class F>
TFieldAccess Field(F f) {
  return {[f](const w830::Tdata7400& m) { return static_cast<int32_t>(f(const_cast<w830::Tdata7400&>(m))); },
          [f](w830::Tdata7400& m, int32_t v) { f(m) = static_cast<std::remove_reference_t<decltype(f(m))>>(v); }};
}

struct TComboBinding {
  const char* name;
  TFieldAccess field;
  int offset = 0;  // item index = value - offset
};

struct TEditBinding {
  enum Kind { kScaled, kThousandths, kInteger };
  const char* name;
  TFieldAccess field;
  Kind kind;
};

struct TTextBinding {
  const char* name;
  std::function<std::string&(w830::Tdata7400&)> field;
};

struct TAddressBinding {
  const char* prefix;  // edits prefix1 .. prefix4
  std::function<std::string&(w830::Tdata7400&)> field;
};

const std::vector<TComboBinding>& ComboBindings();
const std::vector<TComboBinding>& ClockBindings();
const std::vector<TComboBinding>& CheckBindings();
const std::vector<TEditBinding>& EditBindings();
const std::vector<TTextBinding>& TextBindings();
const std::vector<TAddressBinding>& AddressBindings();
