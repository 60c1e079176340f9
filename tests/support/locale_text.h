#pragma once
// Numbers as a person types them in the locale the tests run under: "0.5" is
// "0,5" under a German locale.
#include <QLocale>
#include <QString>

inline QString LocaleDecimal(const char* text) {
  return QString::fromLatin1(text).replace(QLatin1Char('.'), QLocale().decimalPoint());
}
