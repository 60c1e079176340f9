#pragma once
// The link of a main window that has no indicator: never active, sends nothing,
// and reports Open and Close at once.
#include "link/IOIface.h"

class TIOIfaceNull final : public TIOIface {
 public:
  bool GetActive() const override { return false; }
  void Open() override { FireConnect(); }
  void Close() override { FireDisconnect(); }
  void Send(const std::string&) override {}
  QString GetDescription() const override { return {}; }
};
