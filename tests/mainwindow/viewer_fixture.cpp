#include "tests/mainwindow/viewer_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>

#include "dialogs/comdialog.h"
#include "dialogs/trafficdlg.h"
#include "mainwindow/reusabledialogs.h"
#include "mainwindow/settingspages.h"
#include "mimic/voxMimicDisp.h"

namespace {

int HexBit(const std::string& hex, int segment) {
  const std::size_t digit = static_cast<std::size_t>(segment / 4);
  if (digit >= hex.size()) return 0;
  const int value = QByteArray(1, hex[digit]).toInt(nullptr, 16);
  return (value >> (3 - segment % 4)) & 1;
}

}  // namespace

void TViewerFixture::SetUp() {
  const QString bin = qEnvironmentVariable("VIEWER_BIN_DIR") + '/';
  const QString name = QString::fromLatin1(program_.name);
  for (const char* side : {"lcd.VB2", "key.VB2", "panel.BMP"})
    ASSERT_TRUE(QFile::copy(bin + name + side, exe.Path(name + side))) << side;
  port = server.ListenTcp(0);
  const QByteArray ini = IniText();
  if (!ini.isEmpty()) exe.Write(name + ".ini", ini);
  store = std::make_unique<TdatViewer>(program_.model);
  window = std::make_unique<TFrmMain>(program_.variant());
  CreateReusableDialogs(window.get(), program_.variant());
  if (!ownWindowSize) window->resize(700, 520);
  window->show();
  // Without an ini file no background picture is named, and the panel stays dark.
  if (!ini.isEmpty()) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->DisplayMimic().LCDActive(); }, kWaitMs));
  }
}

// The reply time-outs are generous: the default 0.6 s is less than the simulator
// and the pseudo-terminal may take to answer on a loaded machine. A silent
// indicator still times out, only later.
QByteArray TViewerFixture::IniText() const {
  return QStringLiteral("[Connection]\r\nConnectionType=1\r\nTcpHostname=127.0.0.1\r\nTcpPort=%1\r\n"
                        "TcpTimeout=200\r\nSerTimeout=200\r\n"
                        "[Options]\r\nFirstRun=0\r\n[General]\r\nBackgroundImage=%2panel.BMP\r\n")
      .arg(port)
      .arg(QString::fromLatin1(program_.name))
      .toLatin1();
}

void TViewerFixture::TearDown() {
  if (window) window->close();  // absent when SetUp failed early
  window.reset();
  store.reset();
  EXPECT_TRUE(prompter.AllAnswersUsed());
}

void TViewerFixture::Connect(bool unansweredUnits) {
  prompter.AnswerDialog([this](QDialog& dialog) {
    auto& com = dynamic_cast<TFrmComDialog&>(dialog);
    com.SetTcp(true);
    com.SetHostName(QStringLiteral("127.0.0.1"));
    com.SetTcpPort(port);
    return static_cast<int>(mrOk);
  });
  if (unansweredUnits) prompter.AnswerMessage(mrOk);
  window->Connect2Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Connected(); }, kWaitMs));
}

QPoint TViewerFixture::FirstPixelOfKey(TVoxLCDButtons& keys, int key) {
  for (int x = 0; x < keys.KeyMap.Width; ++x)
    for (int y = 0; y < keys.KeyMap.Height; ++y)
      if (keys.KeyMap.Index(x, y) == key) return {x, y};
  return {-1, -1};
}

bool TViewerFixture::MimicShows(TVoxMimicDisp& mimic, const std::string& segments) {
  TVoxLCD& lcd = mimic.LCD();
  for (int i = 0; i < lcd.SegmentCount(); ++i)
    if ((lcd.States()[static_cast<std::size_t>(i)] != 0) != (HexBit(segments, i) != 0)) return false;
  return true;
}

bool TViewerFixture::LcdAll(bool lit) {
  TVoxLCD& lcd = window->DisplayMimic().LCD();
  for (int i = 0; i < lcd.SegmentCount(); ++i)
    if ((lcd.States()[static_cast<std::size_t>(i)] != 0) != lit) return false;
  return true;
}

std::size_t TViewerFixture::FplPolls() const {
  std::size_t count = 0;
  for (const auto& command : indicator.Commands()) count += command.rfind("FPL?", 0) == 0;
  return count;
}

std::vector<std::string> TViewerFixture::SentCommands() const {
  const std::vector<std::string> all = indicator.Commands();
  std::vector<std::string> sent;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].rfind("FPL?", 0) == 0) continue;
    if (i + 1 < all.size() && all[i + 1] == "ESR?") {  // the W840's status poll behind its prefix
      ++i;
      continue;
    }
    sent.push_back(all[i]);
  }
  return sent;
}

void TViewerFixture::ConnectSerial() {
  device = QString::fromStdString(server.OpenPty());
  prompter.AnswerDialog([this](QDialog& dialog) {
    auto& com = dynamic_cast<TFrmComDialog&>(dialog);
    com.SetTcp(false);
    com.SetSerialPort(device);
    com.SetBaudRate(19200);
    com.SetDataBits(8);
    com.SetStopBits(1);
    com.SetParity(0);
    com.SetAddress(TFrmComDialog::kAnyAddress);
    return static_cast<int>(mrOk);
  });
  window->Connect2Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Connected(); }, kWaitMs));
}

void TViewerFixture::AnswerTraffic() {
  prompter.AnswerDialog([](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kWaitMs));
    return dialog.result();
  });
}

void TViewerFixture::AnswerTrafficStepped() {
  prompter.AnswerDialog([](QDialog& dialog) {
    auto& traffic = dynamic_cast<TFrmTraffic&>(dialog);
    dialog.show();
    traffic.Timer1().stop();
    while (dialog.isVisible()) {
      traffic.Timer1Timer();
      QTest::qWait(1);
    }
    return dialog.result();
  });
}

void TViewerFixture::ConnectReadAndChangeTheUnits() {
  Connect();
  ReadSettings();
  ShowPage("TSSettings");
  auto& units = Control<QComboBox>(window->SettingsPages(), "CBxUnits");
  units.setCurrentIndex(units.currentIndex() == 1 ? 2 : 1);
  ShowPage("TSDisplay");
}

void TViewerFixture::AnswerPasscode(const QString& digits) {
  prompter.AnswerDialog([digits](QDialog& dialog) {
    Control<QLineEdit>(dialog, "EdtPasscode").setText(digits);
    return static_cast<int>(mrOk);
  });
}

void TViewerFixture::ReadSettings() {
  AnswerTraffic();
  Control<QAction>(*window, "ReadSettings1").trigger();
  ASSERT_TRUE(window->InSync());
}

void TViewerFixture::ShowPage(const char* name) {
  auto& pages = Control<QTabWidget>(*window, "PgCMain");
  pages.setCurrentWidget(&Control<QWidget>(*window, name));
}

void TViewerFixture::KeepPicture(const QImage& image, const char* name) {
  const QString dir = qEnvironmentVariable("VIEWER_SNAPSHOT_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  EXPECT_TRUE(image.save(dir + '/' + name)) << name;
}

QStringList TViewerFixture::Report() {
  QStringList report;
  window->SettingsReport(report);
  return report;
}

std::vector<TPdfLine> TViewerFixture::PrintedReport() {
  const QString pdf = exe.Path(QStringLiteral("report.pdf"));
  prompter.AnswerPrintToPdf(pdf);
  Control<QAction>(*window, "Print1").trigger();
  return PdfLines(pdf);
}
