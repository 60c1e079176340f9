#pragma once
// The decimal-places list: item n shows a six-digit number with n decimals,
// written with the viewer's decimal character.
#include <QChar>

class QComboBox;

// Refills the list and keeps the selected item.
void FillDecimalPointList(QComboBox& list, QChar separator);
