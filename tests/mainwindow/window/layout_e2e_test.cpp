// Every page and dialog of both programs, connected to the simulated indicator after
// a read and at the size the program opens at: each visible, enabled control lies
// inside its window and takes a click at its centre, and each tab of each tab bar
// becomes current when clicked. Pages and dialogs are found, not listed: the tabs
// by walking the bars, the dialogs made at start-up among the window's children,
// so a page or dialog added later is checked without new code. With
// VIEWER_SNAPSHOT_DIR set, each one shown is kept as a picture (scripts/screenshots).
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <set>

#include "dialogs/comdialog.h"
#include "discovery/NetDevices.h"
#include "tests/mainwindow/fixture/screen_walker.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"
#include "tests/support/discovery_fakes.h"
#include "tests/support/private_network.h"

namespace {

QString FileName(QString path) {
  path.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
  return path + QStringLiteral(".png");
}

class LayoutTest : public TViewerFixture, public ::testing::WithParamInterface<const TViewerProgram*> {
 protected:
  LayoutTest() : TViewerFixture(*GetParam()) { ownWindowSize = true; }

  void SetUp() override {
    ASSERT_TRUE(net.Active()) << net.Error().toStdString();
    TViewerFixture::SetUp();
    server.ListenDiscovery(TfrmNetworkDevices::kDiscoveryPort);
  }

  // Walks the window's tabs, checking each combination and keeping its picture.
  void Check(QWidget& window, const QString& name) {
    checked.insert(&window);
    TScreenWalker walker(window, [&](const QString& path) {
      EXPECT_EQ(UnreachableControls(window), QStringList()) << path.toStdString();
      KeepPicture(window.grab().toImage(), FileName(path).toLatin1().constData());
    });
    EXPECT_EQ(walker.Walk(QString::fromLatin1(program_.name) + '/' + name), QStringList());
  }

  // The dialog the action opens is checked as the action fills it, then cancelled.
  void CheckDialogOf(const char* action, const std::function<void(QDialog&)>& fill = {}) {
    prompter.AnswerDialog([=, this](QDialog& dialog) {
      dialog.show();
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
      if (fill) fill(dialog);
      Check(dialog, dialog.objectName());
      return static_cast<int>(mrCancel);
    });
    Control<QAction>(*window, action).trigger();
    EXPECT_TRUE(prompter.AllAnswersUsed()) << action;
  }

  // The finder as it shows an indicator it found on loopback.
  void FindOnLoopback(QDialog& finder) {
    auto& box = Control<QComboBox>(finder, "CBInterfaces");
    box.setCurrentIndex(box.findText(QStringLiteral("127.0.0.1 / 127.255.255.255")));
    QTest::mouseClick(&Control<QPushButton>(finder, "BtnFind"), Qt::LeftButton);
    auto& grid = Control<QTableWidget>(finder, "StringGridNetDevices");
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.rowCount() > 0; }, kWaitMs));
  }

  TPrivateNetwork net;  // before SetUp makes any socket
  TFakeInterfaces interfaces;
  std::set<QWidget*> checked;
};

TEST_P(LayoutTest, EveryControlOfEveryPageAndDialogIsOnScreenAndTakesAClick) {
  // The connection dialog opens only while no link is open.
  prompter.AnswerDialog([this](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Check(dialog, dialog.objectName());
    auto& com = dynamic_cast<TFrmComDialog&>(dialog);
    com.SetTcp(true);
    com.SetHostName(QStringLiteral("127.0.0.1"));
    com.SetTcpPort(port);
    return static_cast<int>(mrOk);
  });
  window->Connect2Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Connected(); }, kWaitMs));
  prompter.AnswerDialog([this](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Check(dialog, dialog.objectName());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
    return dialog.result();
  });
  Control<QAction>(*window, "ReadSettings1").trigger();
  ASSERT_TRUE(window->InSync());

  Check(*window, QStringLiteral("main"));

  CheckDialogOf("MnuOptions");
  CheckDialogOf("MnuDeviceFinder", [this](QDialog& finder) { FindOnLoopback(finder); });
  CheckDialogOf("ChartSetup");
  CheckDialogOf("About1");
  // The dialogs made at start-up that no menu item opens by itself.
  for (QDialog* dialog : window->findChildren<QDialog*>()) {
    if (checked.count(dialog)) continue;
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    Check(*dialog, dialog->objectName());
    dialog->hide();
  }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, LayoutTest, ::testing::Values(&kW830Program, &kW840Program),
                         [](const auto& info) { return std::string(info.param->name); });

}  // namespace
