#pragma once
// A serial port on a device the test controls, with modem lines, counting its
// closes. A port left open closes as it is freed and calls its handlers then, so
// whatever they touch is declared before the port and outlives it.
#include <gtest/gtest.h>

#include <memory>

#include "fake_device.h"
#include "serial/SerComPort.h"
#include "tests/support/scripted_prompter.h"

class PortOnFake : public ::testing::Test {
 protected:
  static constexpr int kWaitMs = 10000;

  void SetUp() override {
    device->hasModemLines = true;
    port.SetDeviceName("/dev/fake");
    port.SetDeviceFactory([this] { return std::make_unique<TFakeDevice>(device); });
    port.OnPortClose = [this](TSerComPort*) { ++closes; };
  }

  TScriptedPrompter prompter;
  std::shared_ptr<TFakeDeviceState> device = std::make_shared<TFakeDeviceState>();
  int closes = 0;
  TSerComPort port;
};
