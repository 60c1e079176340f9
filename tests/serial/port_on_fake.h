#pragma once
// A serial port on a device the test controls, with modem lines.
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
  }

  TScriptedPrompter prompter;
  std::shared_ptr<TFakeDeviceState> device = std::make_shared<TFakeDeviceState>();
  TSerComPort port;
};
