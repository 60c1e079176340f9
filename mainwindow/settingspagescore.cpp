#include "mainwindow/settingspagescore.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

void TSettingsPagesCore::SetCalibrationEdits(QLineEdit* directZero, QLineEdit* directSpan, QLineEdit* calWeight) {
  calDirectZero_ = directZero;
  calDirectSpan_ = directSpan;
  calWeight_ = calWeight;
  if (calWeight_) calWeight_->installEventFilter(this);
}

QTabWidget& TSettingsPagesCore::SubPages() const { return *findChild<QTabWidget*>(QStringLiteral("PgCSettings")); }

QTabBar& TSettingsPagesCore::SetpointTabs() const { return *findChild<QTabBar*>(QStringLiteral("CtrlSetpoint")); }

void TSettingsPagesCore::StorePages() {
  ControlsToSettings();
  StoreSetpoint(SetpointTabs().currentIndex());
}

void TSettingsPagesCore::ShowPages() {
  SettingsToControls(false);
  LoadSetpoint(SetpointTabs().currentIndex());
  SetpointTabs().update();
}

void TSettingsPagesCore::ShowFirstPage() {
  ShowPages();
  SubPages().setCurrentIndex(0);
}
