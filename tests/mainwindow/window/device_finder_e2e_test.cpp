// The Device Finder tool button against the simulated indicator: the chosen
// indicator's address and port reach the connection dialog, and the window
// connects to it. Each test runs in a network namespace of its own, so that the
// fixed discovery port is its alone.
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include "dialogs/comdialog.h"
#include "discovery/NetDevices.h"
#include "tests/mainwindow/fixture/viewer_fixture.h"
#include "tests/support/discovery_fakes.h"
#include "tests/support/private_network.h"
#include "tests/support/udp_peer.h"

namespace {

const QString kLoopbackItem = QStringLiteral("127.0.0.1 / 127.255.255.255");

template <class T>
T& Control(QWidget& parent, const char* name) {
  T* control = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(control, nullptr) << name;
  return *control;
}

class DeviceFinderViewerTest : public TViewerTest, public ::testing::WithParamInterface<bool> {
 protected:
  static constexpr uint16_t kOldPort = 1111;

  bool HasIni() const { return GetParam(); }

  void SetUp() override {
    ASSERT_TRUE(net.Active()) << net.Error().toStdString();
    if (HasIni()) return TViewerTest::SetUp();
    // Without an ini file the window starts with the first run's options, and its
    // panels, having no picture named, say so whenever they are laid out.
    SetPrompter(&panelErrors);
    prompter.AnswerDialog([](QDialog&) { return static_cast<int>(mrCancel); });
    TViewerTest::SetUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.AllAnswersUsed(); }, kWaitMs));
  }
  void TearDown() override {
    TViewerTest::TearDown();
    SetPrompter(&prompter);
  }
  // A serial connection and the panel picture stored, so that every TCP value comes from the finder.
  QByteArray IniText() const override {
    if (!HasIni()) return {};
    return QStringLiteral("[Connection]\r\nConnectionType=0\r\nTcpHostname=10.9.9.9\r\nTcpPort=%1\r\n"
                          "[Options]\r\nFirstRun=0\r\n[General]\r\nBackgroundImage=W830_830panel.BMP\r\n")
        .arg(kOldPort)
        .toLatin1();
  }

  // Answers the finder: picks the loopback item, finds, lets answer() reply when it
  // is given, chooses the first row and presses the button.
  void AnswerFinder(const char* button, std::function<void()> answer = {}) {
    prompter.AnswerDialog([=, this](QDialog& dialog) {
      dialog.show();
      auto& box = Control<QComboBox>(dialog, "CBInterfaces");
      box.setCurrentIndex(box.findText(kLoopbackItem));
      QTest::mouseClick(&Control<QPushButton>(dialog, "BtnFind"), Qt::LeftButton);
      if (answer) answer();
      auto& grid = Control<QTableWidget>(dialog, "StringGridNetDevices");
      EXPECT_TRUE(QTest::qWaitFor([&] { return grid.rowCount() > 0; }, kWaitMs));
      if (grid.rowCount() > 0)
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualItemRect(grid.item(0, 0)).center());
      connectEnabled = Control<QPushButton>(dialog, "BtnConnect").isEnabled();
      QTest::mouseClick(&Control<QPushButton>(dialog, button), Qt::LeftButton);
      return dialog.result();
    });
  }
  // Answers the connection dialog with result, noting what it showed.
  void AnswerConnection(int result) {
    prompter.AnswerDialog([=, this](QDialog& dialog) {
      auto& com = dynamic_cast<TFrmComDialog&>(dialog);
      shownTcp = com.IsTcp();
      shownHost = com.GetHostName();
      shownPort = com.GetTcpPort();
      return result;
    });
  }
  void ClickDeviceFinder() { QTest::mouseClick(&Control<QToolButton>(*window, "ToolButton5"), Qt::LeftButton); }

  // Passes every question on to the scripted prompter but a panel's missing picture.
  struct TPanelErrorsAnswered final : TForwardingPrompter {
    using TForwardingPrompter::TForwardingPrompter;
    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
      return text == QLatin1String("Image format not recognised")
                 ? mrOk
                 : TForwardingPrompter::MessageDlg(text, type, buttons);
    }
  };

  TPrivateNetwork net;  // before SetUp makes any socket
  TPanelErrorsAnswered panelErrors{prompter};
  TFakeInterfaces interfaces;
  bool connectEnabled = false;
  bool shownTcp = false;
  QString shownHost;
  int shownPort = 0;
};

TEST_P(DeviceFinderViewerTest, TheChosenIndicatorIsConnectedOverTcpAndPolled) {
  server.ListenDiscovery(TfrmNetworkDevices::kDiscoveryPort);
  AnswerFinder("BtnConnect");
  AnswerConnection(mrOk);
  ClickDeviceFinder();
  EXPECT_TRUE(prompter.AllAnswersUsed());
  EXPECT_TRUE(shownTcp);
  EXPECT_EQ(shownHost, QStringLiteral("127.0.0.1"));
  EXPECT_EQ(shownPort, port);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Connected() && FplPolls() >= 2; }, kWaitMs));
  if (HasIni()) {
    EXPECT_EQ(store->GetConnectionType(), 1);
    EXPECT_EQ(store->GetTcpHostname(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(store->GetTcpPort(), port);
    EXPECT_EQ(store->GetDeviceFinderAddress(), kLoopbackItem);
  }

  // While the link is open the finder only finds.
  AnswerFinder("BtnClose");
  ClickDeviceFinder();
  EXPECT_FALSE(connectEnabled);
  EXPECT_TRUE(window->Connected());
}

TEST_P(DeviceFinderViewerTest, ATcpPortOutside1To65535LeavesTheStoredOne) {
  TUdpPeer responder("127.255.255.255", TfrmNetworkDevices::kDiscoveryPort);
  ASSERT_TRUE(responder.Bound());
  const int stored = HasIni() ? kOldPort : 2222;
  struct Case {
    const char* text;
    int shown;
  };
  const Case cases[] = {{"abc", stored}, {"0", stored}, {"65536", stored}, {"", stored}, {"2345", 2345}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    AnswerFinder("BtnConnect", [&] {
      ASSERT_TRUE(responder.AnswerProbe(QByteArray("<velmacor><device><tcpport>") + c.text +
                                        "</tcpport></device></velmacor>"));
    });
    AnswerConnection(mrCancel);
    ClickDeviceFinder();
    EXPECT_TRUE(prompter.AllAnswersUsed());
    EXPECT_EQ(shownHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(shownPort, c.shown);
    if (HasIni()) {
      EXPECT_EQ(store->GetTcpPort(), c.shown);
    }
  }
  EXPECT_FALSE(window->Connected());
}

INSTANTIATE_TEST_SUITE_P(IniFile, DeviceFinderViewerTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "WithIniFile" : "WithoutIniFile");
                         });

}  // namespace
