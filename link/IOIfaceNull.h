#pragma once
// The link of a window with no indicator: never active, sends nothing, and still
// reports Open and Close as a connect and a disconnect.
#include "link/IOIface.h"

class TIOIfaceNull final : public TIOIface {
 public:
  bool GetActive() const override { return false; }
  void Open() override { FireConnect(); }
  void Close() override { FireDisconnect(); }
  void Send(const std::string&) override {}
  QString GetDescription() const override { return {}; }
};
