#include "link/IOIface.h"

void TIOIface::Unbind() {
  OnRxData = nullptr;
  OnConnect = nullptr;
  OnDisconnect = nullptr;
}

// Each event runs on a copy of its handler: the handler may unbind or replace
// the link's handlers while it runs.
void TIOIface::FireRxData(const std::string& data) {
  if (auto handler = OnRxData) handler(data);
}

void TIOIface::FireConnect() {
  if (auto handler = OnConnect) handler(this);
}

void TIOIface::FireDisconnect() {
  if (auto handler = OnDisconnect) handler(this);
}
