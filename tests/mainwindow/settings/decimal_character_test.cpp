// The viewer's decimal character reaches every scaled field of the settings pages.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>

#include "mainwindow/settings/settingspages.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"

namespace {

TEST_F(TViewerTest, ChoosingTheCommaRelabelsTheScaledFieldsAndTheDecimalList) {
  window->WorkingData().DecimalPoint = 2;
  window->WorkingData().FullScale1 = 3000;
  window->SettingsPages().SettingsToControls(false);
  auto* fullScale = window->findChild<QLineEdit*>("EdtFS1");
  auto* places = window->findChild<QComboBox*>("CBxDP");
  ASSERT_TRUE(fullScale && places);
  EXPECT_EQ(fullScale->text(), "30.00");
  window->findChild<QAction*>("mnuDPComma")->trigger();
  EXPECT_EQ(fullScale->text(), "30,00");
  EXPECT_EQ(places->itemText(1), "12345 , 6");
  EXPECT_EQ(places->currentIndex(), 2);
  EXPECT_EQ(window->WorkingData().FullScale1, 3000);
  EXPECT_EQ(store->GetDecimalPointChar(), ',');
}

}  // namespace
