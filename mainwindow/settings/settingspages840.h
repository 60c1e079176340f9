#pragma once
// The six settings pages of the W840 main window: the W840's form and tables, and
// its four serial tabs, whose boxes are disabled on the tab of the port the
// indicator is talking through.
#include <memory>

#include "mainwindow/settings/settingspagescore.h"

namespace Ui {
class TSettingsPages840;
}
namespace w840 {
class Tdata7400;

class TSettingsPages : public TSettingsPagesCore {
 public:
  explicit TSettingsPages(QWidget* parent = nullptr);
  ~TSettingsPages() override;

 protected:
  settings::TSerialPort& SerialRecord(int tab) override;
  bool SerialRecordLocked(int tab) const override;
  void ArrangeSerialTab(int tab) override;

 private:
  Tdata7400& Model() const;

  std::unique_ptr<Ui::TSettingsPages840> ui_;
};

}  // namespace w840
