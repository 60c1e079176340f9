#include "link/IOIface.h"

TIOIface::~TIOIface() = default;

void TIOIface::UnbindEvents() {
  OnRxData = nullptr;
  OnConnect = nullptr;
  OnDisconnect = nullptr;
}

void TIOIface::FireRxData(const std::string& data) {
  if (OnRxData) OnRxData(data);
}

void TIOIface::FireConnect() {
  if (OnConnect) OnConnect(this);
}

void TIOIface::FireDisconnect() {
  if (OnDisconnect) OnDisconnect(this);
}
