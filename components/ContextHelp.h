#pragma once
// F1 asks for help on what the technician is working in. Pages and dialogs carry
// their topic's context number in the "HelpContext" property (set in their forms);
// F1 opens the topic of the nearest one around the focused control, or of the
// page shown when the focus is on the page tabs or elsewhere outside the pages,
// and the contents where none has one.
#include <QObject>
#include <cstdint>

class QWidget;

inline constexpr char kHelpContextProperty[] = "HelpContext";

// The context number for help on widget, or 0 when its window has none.
std::int32_t HelpContextOf(const QWidget* widget);

// Takes F1 for the whole application while owner lives.
void InstallF1Help(QObject& owner);
