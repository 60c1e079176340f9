// The file dialogs' "All Files" entry lists every file on Linux, where a name need
// have no dot.
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "platform/prompter.h"

namespace {

// Whether the filter's entry that names entryName would list the file.
bool Lists(const QString& filter, const QString& entryName, const QString& file) {
  for (const QString& entry : filter.split(QStringLiteral(";;"))) {
    if (!entry.startsWith(entryName)) continue;
    const QString patterns = entry.section('(', 1).section(')', 0, 0);
    for (const QString& pattern : patterns.split(' ', Qt::SkipEmptyParts))
      if (QRegularExpression::fromWildcard(pattern).match(file).hasMatch()) return true;
  }
  return false;
}

TEST(FileFilter, AllFilesListsNamesWithoutADotAndTheOtherEntriesStay) {
  const struct {
    const char* given;
    const char* shown;
  } cases[] = {
      {"Indicator Settings (*.vis);;All Files (*.*)", "Indicator Settings (*.vis);;All Files (*)"},
      {"Calibration files (*.cal);;All files (*.*)", "Calibration files (*.cal);;All files (*)"},
      {"Logs (*.log *.*)", "Logs (*.log *)"},
      {"Backups (*.*.bak)", "Backups (*.*.bak)"},
  };
  for (const auto& c : cases) EXPECT_EQ(DesktopFileFilter(QString::fromLatin1(c.given)), c.shown) << c.given;

  const QString shown = DesktopFileFilter(QStringLiteral("Indicator Settings (*.vis);;All Files (*.*)"));
  for (const char* file : {"README", "site.vis", "a.b.c"}) EXPECT_TRUE(Lists(shown, "All Files", file)) << file;
  EXPECT_FALSE(Lists(shown, "Indicator Settings", "README"));
}

}  // namespace
