#pragma once
// Which control shows which setting: the tables the settings pages' two copy
// routines walk. A table row names its control and reaches its field through the
// model type it was written for; the shared rows work on any model.
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

#include "protocol/settingsmodel.h"

namespace bindings_detail {
template <class F>
struct TFirstArg;
template <class C, class R, class A>
struct TFirstArg<R (C::*)(A) const> {
  using type = std::remove_cvref_t<A>;
};
// The model type a field accessor lambda takes.
template <class F>
using TModelOf = typename TFirstArg<decltype(&F::operator())>::type;
}  // namespace bindings_detail

// Reads and writes one integer-like field of the model (a bool reads as 0 or 1).
struct TFieldAccess {
  std::function<int32_t(const TSettingsModel&)> get;
  std::function<void(TSettingsModel&, int32_t)> set;
};

// f: a lambda from its model type to the field, e.g. [](Tdata7400& m) -> auto& { return m.Units; }.
template <class F>
TFieldAccess Field(F f) {
  using M = bindings_detail::TModelOf<F>;
  auto field = [f](TSettingsModel& m) -> auto& { return f(static_cast<M&>(m)); };
  return {[field](const TSettingsModel& m) { return static_cast<int32_t>(field(const_cast<TSettingsModel&>(m))); },
          [field](TSettingsModel& m, int32_t v) {
            auto& target = field(m);
            target = static_cast<std::remove_reference_t<decltype(target)>>(v);
          }};
}

using TTextAccess = std::function<std::string&(TSettingsModel&)>;

template <class F>
TTextAccess Text(F f) {
  using M = bindings_detail::TModelOf<F>;
  return [f](TSettingsModel& m) -> std::string& { return f(static_cast<M&>(m)); };
}

// One setpoint record's field; n is the record (0-based).
using TSetpointAccess = std::function<int32_t&(TSettingsModel&, int n)>;

template <class M>
using TSetpointOf = typename decltype(M::Setpoints)::value_type;

template <class M>
TSetpointAccess SetpointMember(int32_t TSetpointOf<M>::*member) {
  return [member](TSettingsModel& m, int n) -> int32_t& {
    return static_cast<M&>(m).Setpoints[static_cast<std::size_t>(n)].*member;
  };
}

struct TComboBinding {
  const char* name;
  TFieldAccess field;
  int offset = 0;  // item index = value - offset
};

// The range a settings line's loader takes, in stored units: a value outside it
// would be written but never read back, by the viewer or the indicator.
struct TStoredRange {
  int32_t min;
  int32_t max;
};

struct TEditBinding {
  enum Kind { kScaled, kThousandths, kInteger };
  const char* name;
  TFieldAccess field;
  Kind kind;
  TStoredRange range;
};

struct TTextBinding {
  const char* name;
  TTextAccess field;
};

struct TAddressBinding {
  const char* prefix;  // edits prefix1 .. prefix4
  TTextAccess field;
};

struct TSetpointComboBinding {
  const char* name;
  TSetpointAccess field;
};

// The scaled edits of the setpoint page, and the labels that name their units.
struct TSetpointEditBinding {
  const char* name;
  const char* unitsLabel;
  TSetpointAccess field;
  TStoredRange range;
};

// One page set's tables; the setpoint type is the first setpoint combo.
struct TPageBindings {
  std::vector<TComboBinding> combos{};
  std::vector<TComboBinding> checks{};
  std::vector<TEditBinding> edits{};
  std::vector<TTextBinding> texts{};
  std::vector<TAddressBinding> addresses{};
  std::vector<TSetpointComboBinding> setpointCombos{};
  std::vector<TSetpointEditBinding> setpointEdits{};
  std::vector<const char*> unitLabels{};  // labels beside the weights of the Build and Option pages
};

// The key lock boxes, for the model's keys 0, 1, ... in order.
template <class M>
std::vector<TComboBinding> KeyLockCombos(std::initializer_list<const char*> names) {
  std::vector<TComboBinding> rows;
  std::size_t key = 0;
  for (const char* name : names)
    rows.push_back({name, Field([k = key++](M& m) -> auto& { return m.KeyLock[k]; })});
  return rows;
}

// The boxes "CBxRem1" .. "CBxRem8" of the remote inputs, from the model's input first.
template <class M>
std::vector<TComboBinding> RemoteInputCombos(std::size_t first) {
  static const char* const kNames[] = {"CBxRem1", "CBxRem2", "CBxRem3", "CBxRem4",
                                       "CBxRem5", "CBxRem6", "CBxRem7", "CBxRem8"};
  std::vector<TComboBinding> rows;
  for (std::size_t i = 0; i < 8; ++i)
    rows.push_back({kNames[i], Field([n = first + i](M& m) -> auto& { return m.RemoteInput[n]; })});
  return rows;
}

// The setpoint boxes every page set has, the type first, then the page set's own.
template <class M>
std::vector<TSetpointComboBinding> SetpointCombos(std::initializer_list<TSetpointComboBinding> own) {
  using S = TSetpointOf<M>;
  std::vector<TSetpointComboBinding> rows = {{"CBxSetpType", SetpointMember<M>(&S::Type)},
                                             {"CBxSetpSrc", SetpointMember<M>(&S::Source)},
                                             {"CBxSetpLogic", SetpointMember<M>(&S::Logic)},
                                             {"CbxSetpLock", SetpointMember<M>(&S::Lock)},
                                             {"CBxSetpAlarm", SetpointMember<M>(&S::Alarm)}};
  rows.insert(rows.end(), own);
  return rows;
}

// The setpoint weights' edits, each with the label of its units.
template <class M>
std::vector<TSetpointEditBinding> SetpointEdits(const char* inFlight, const char* inFlightUnits,
                                                const char* hysteresis, const char* hysteresisUnits,
                                                const char* targetUnits) {
  using S = TSetpointOf<M>;
  return {{inFlight, inFlightUnits, SetpointMember<M>(&S::InFlight), {0, 999999}},
          {hysteresis, hysteresisUnits, SetpointMember<M>(&S::Hysteresis), {0, 999999}},
          {"EdtTarget", targetUnits, SetpointMember<M>(&S::Target), {-99999, 999999}}};
}

// The rows every page set has: the settings both indicators share, under the same
// control names.
const TPageBindings& SharedBindings();
