#pragma once
// A help engine for tests: it records every call and answers with what the test
// set. While it exists it is the engine that the help bridge finds.
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "components/HHIntf.h"
#include "platform/htmlhelpapi.h"

// Failure messages show a number or a text as such.
inline void PrintTo(const THHData& data, std::ostream* os) {
  if (const auto* number = std::get_if<std::int32_t>(&data)) *os << *number;
  else if (const auto* text = std::get_if<QString>(&data)) *os << '"' << text->toStdString() << '"';
  else *os << "record " << data.index();
}

struct THelpCall {
  QString file;
  unsigned command;
  THHData data;
};

class TFakeHelpEngine {
 public:
  TFakeHelpEngine() {
    SetHelpEngineLoader([this] { return std::make_unique<TEngine>(*this); });
  }
  ~TFakeHelpEngine() { SetHelpEngineLoader({}); }

  // The answer to every command but the window-type calls.
  int result = 1;
  // The window type the help file has; none by default.
  std::optional<THHWinType> winType;

  std::vector<THelpCall> calls;

  // The calls of one command.
  std::vector<THelpCall> Calls(unsigned command) const {
    std::vector<THelpCall> out;
    for (const auto& call : calls)
      if (call.command == command) out.push_back(call);
    return out;
  }
  // The calls that are requests, not the window-type calls that prepare them.
  std::vector<THelpCall> Requests() const {
    std::vector<THelpCall> out;
    for (const auto& call : calls)
      if (call.command != HH_GET_WIN_TYPE && call.command != HH_SET_WIN_TYPE) out.push_back(call);
    return out;
  }

 private:
  class TEngine final : public THelpEngine {
   public:
    explicit TEngine(TFakeHelpEngine& owner) : owner_(owner) {}
    int HtmlHelpA(QWidget*, const QString& file, unsigned command, THHData& data) override {
      owner_.calls.push_back({file, command, data});
      if (command == HH_GET_WIN_TYPE || command == HH_SET_WIN_TYPE) {
        if (!owner_.winType) return -1;
        if (command == HH_GET_WIN_TYPE) data = *owner_.winType;
        return 1;
      }
      return owner_.result;
    }

   private:
    TFakeHelpEngine& owner_;
  };
};
