#pragma once
// The controls the settings pages bound, by role: filled once as a page set binds
// its form, then read by the showing, the storing and the key checks of the pages.
#include <QString>
#include <array>
#include <utility>
#include <vector>

#include "mainwindow/settings/settingsbindings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabBar;
class QTabWidget;
class QWidget;
class TSetpointTabBar;

// The print header: six lines of thirty characters.
inline const QString kHeaderLimit = QStringLiteral("Maximum size = 6 lines x 30 characters");
constexpr qsizetype kHeaderLineLength = 30;

struct TPageControls {
  std::vector<std::pair<QComboBox*, const TComboBinding*>> combos;
  std::vector<std::pair<QCheckBox*, const TComboBinding*>> checks;
  std::vector<std::pair<QLineEdit*, const TEditBinding*>> edits;
  std::vector<std::pair<QLineEdit*, const TTextBinding*>> texts;
  std::vector<std::pair<std::array<QLineEdit*, 4>, const TAddressBinding*>> addresses;
  std::vector<std::pair<QComboBox*, const TSetpointComboBinding*>> setpointCombos;
  std::vector<std::pair<QLineEdit*, const TSetpointEditBinding*>> setpointEdits;
  std::vector<QLabel*> setpointUnitLabels;
  std::vector<QLabel*> unitLabels;
  std::array<QComboBox*, 8> serialBoxes{};
  std::array<QLineEdit*, 6> macEdits{};
  QComboBox* dp = nullptr;
  QComboBox* units = nullptr;
  QComboBox* filter = nullptr;
  QComboBox* weighMode = nullptr;
  QComboBox* dhcp = nullptr;
  QPlainTextEdit* memo = nullptr;
  QLineEdit* rows = nullptr;
  QLineEdit* cols = nullptr;
  QLineEdit* fs1 = nullptr;
  QLineEdit* fs2 = nullptr;
  QLineEdit* hostName = nullptr;
  QLineEdit* searchDomain = nullptr;  // the W830's only
  QTabBar* serialTabs = nullptr;
  TSetpointTabBar* setpointTabs = nullptr;
  QTabWidget* subPages = nullptr;
  QWidget* setpointPage = nullptr;
};
