#include <gtest/gtest.h>

#include <QComboBox>

#include "fake_device.h"
#include "pty_pair.h"
#include "serial/ComSelectForm.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "tests/support/scripted_prompter.h"

TEST(TComSelectForm, OffersFreePortsAndPortsInUseButNotMissingOnes) {
  TScriptedPrompter prompter;
  TPtyPair free, held;
  TSerComPort holder;
  holder.SetDeviceName(held.SlavePath());
  holder.SetOpen(true);
  const QString missing = QStringLiteral("/dev/no-such-serial-port");
  TComSelectForm form({QString::fromStdString(free.SlavePath()), missing, QString::fromStdString(held.SlavePath())});
  auto* list = form.findChild<QComboBox*>(QStringLiteral("PortsComboBox"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0).toStdString(), free.SlavePath());
  EXPECT_EQ(list->itemText(1).toStdString(), held.SlavePath());
  EXPECT_EQ(form.SelectedDevice(), free.SlavePath());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Select Port"));
}

TEST(TComSelectForm, ThePortChosenThereIsOpenedAndAnEmptyChoiceIsRefused) {
  TScriptedPrompter prompter;
  auto device = std::make_shared<TFakeDeviceState>();
  TSerComPort port;
  port.SetDeviceFactory([&] { return std::make_unique<TFakeDevice>(device); });
  prompter.AnswerDialog([](QDialog& dialog) {
    auto* list = dialog.findChild<QComboBox*>(QStringLiteral("PortsComboBox"));
    list->clear();
    return static_cast<int>(mrOk);
  });
  EXPECT_THROW(port.SetOpen(true), ENoPortSelected);

  TPtyPair pty;
  prompter.AnswerDialog([&](QDialog& dialog) {
    auto* list = dialog.findChild<QComboBox*>(QStringLiteral("PortsComboBox"));
    list->clear();
    list->addItem(QString::fromStdString(pty.SlavePath()));
    list->setCurrentIndex(0);
    return static_cast<int>(mrOk);
  });
  port.SetOpen(true);
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.DeviceName(), pty.SlavePath());
}
