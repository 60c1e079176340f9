// The round trip of a settings file through the pages of either program: whatever
// values the pages accept, saved, opened into a fresh model and saved again give
// the same bytes. Every box gets one of its entries and every enabled field a
// value it takes, at random from a fixed seed.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "mainwindow/settings/settingspages.h"
#include "mainwindow/settings/settingspages840.h"
#include "platform/textlines.h"
#include "protocol/database.h"
#include "protocol/database840.h"
#include "protocol/tools.h"
#include "tests/support/scripted_prompter.h"

namespace {

// What a numeric field stores: its decimals (-1: the decimal point box's) and the
// range its settings line carries.
struct TNumber {
  int decimals;
  int32_t min, max;
};

const std::map<QString, TNumber>& Numbers() {
  static const std::map<QString, TNumber> numbers = {
      {"edtAddTare", {-1, 0, 999999}},        {"EdtFS1", {-1, 0, 999999}},
      {"EdtFs2", {-1, 0, 999999}},            {"EdtZband", {-1, 0, 999999}},
      {"EdtInflight", {-1, 0, 999999}},       {"EdtFlight", {-1, 0, 999999}},
      {"EdtHysteresis", {-1, 0, 999999}},     {"EdtTol", {-1, 0, 999999}},
      {"EdtTarget", {-1, -99999, 999999}},    {"EdtConversionFactor", {3, 1, 999999}},
      {"EdtSetpJogOn", {0, 100, 60000}},      {"EdtSetpJogOff", {0, 100, 60000}},
      {"EdtSetpOptJogSet", {0, 1, 20}},       {"EdtSetpOptMaxJogSets", {0, 0, 20}},
      {"EdtSetpOptDelayCheck", {0, 0, 60000}}, {"EdtMbPort", {0, 502, 65535}},
      {"EdtAnlZero", {0, 0, 65535}},          {"EdtAnlSpan", {0, 0, 65535}},
      {"edtSerialNetPort", {0, 0, 65535}},    {"edtSerialNetTimeout", {0, 0, 86400}},
      {"edtSerialAutoPort", {0, 0, 65535}},   {"edtSerialAutoTimeout", {0, 0, 86400}},
      {"edtUdpDest1", {0, 0, 65535}},         {"edtUdpDest2", {0, 0, 65535}},
      {"edtUdpListen1", {0, 0, 65535}},       {"edtUdpListen2", {0, 0, 65535}},
      {"edtSerial5Port", {0, 0, 65535}},      {"edtSerial6Port", {0, 0, 65535}},
      {"EDtRows", {0, 0, 10}},                {"EdtCols", {0, 0, 20}},
  };
  return numbers;
}

template <class Pages, class Model>
class SettingsRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    pages.resize(1200, 700);
    pages.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pages));
  }

  int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
  int32_t Between(int32_t min, int32_t max) { return std::uniform_int_distribution<int32_t>(min, max)(random); }
  // Any Latin-1 text a technician may type, quotes and semicolons included (the
  // field refuses those itself).
  QString AnyText(int length) {
    static const QString kChars =
        QStringLiteral(" abcXYZ019,.;\"-_/\\<>()=+*#%&!?'") + QChar(0xe9) + QChar(0xb0) + QChar(0xff);
    QString text;
    for (int i = 0; i < length; ++i) text += kChars[Pick(static_cast<int>(kChars.size()))];
    return text;
  }
  // Key by key, letters beyond ASCII as the keyboard sends them: with their text.
  static void KeyClicks(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
      if (c.unicode() < 128)
        QTest::keyClick(widget, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
  void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    KeyClicks(edit, text);
  }

  // Every box to one of its entries, as a technician picks it.
  void PickEveryBox() {
    auto* dp = pages.template findChild<QComboBox*>(QStringLiteral("CBxDP"));
    const int decimals = Pick(dp->count());
    dp->setCurrentIndex(decimals);
    emit dp->activated(decimals);
    for (QComboBox* box : pages.template findChildren<QComboBox*>()) {
      if (box == dp || !box->isEnabled() || box->count() == 0) continue;
      const int entry = Pick(box->count());
      box->setCurrentIndex(entry);
      emit box->activated(entry);
    }
  }
  // Every enabled field to a value it takes.
  void FillEveryField(QChar decimalChar) {
    static const QRegularExpression octet(QStringLiteral("^edt(Eth|Dest).*\\d$"));
    const int decimals = pages.Decimals();
    for (QLineEdit* edit : pages.template findChildren<QLineEdit*>()) {
      if (!edit->isEnabled() || qobject_cast<QComboBox*>(edit->parent())) continue;
      const QString name = edit->objectName();
      if (const auto it = Numbers().find(name); it != Numbers().end()) {
        const TNumber& n = it->second;
        const int d = n.decimals < 0 ? decimals : n.decimals;
        Type(edit, QString::fromLatin1(IntToFixedStr(Between(n.min, n.max), d, decimalChar.toLatin1())));
      } else if (octet.match(name).hasMatch()) {
        Type(edit, QString::number(Between(0, 255)));
      } else {
        ASSERT_GT(edit->maxLength(), 0) << name.toStdString();
        Type(edit, AnyText(Pick(std::min(edit->maxLength(), 300) + 5)));
      }
    }
    // Six header lines at most, of 30 characters at most, as the memo lets one type.
    auto* memo = pages.template findChild<QPlainTextEdit*>(QStringLiteral("MemoHeader"));
    memo->clear();
    for (int line = Pick(6); line >= 0; --line) {
      KeyClicks(memo, AnyText(Pick(31)));
      if (line > 0) QTest::keyClick(memo, Qt::Key_Return);
    }
  }

  // The pages stored into the model they show and saved as a settings file.
  QByteArray Save(const QString& path) {
    EXPECT_TRUE(pages.StorePages()) << "a value the pages took was refused";
    std::vector<std::string> lines;
    model->BuildSetCommands(lines);
    WriteTextLines(path, lines);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }
  // A fresh model, the file opened into it and shown on the pages.
  void Open(const QString& path) {
    model = std::make_unique<Model>();
    pages.SetModel(model.get());
    model->LoadReplies(ReadTextLines(path));
    pages.ShowPages();
  }

  void RunTrials() {
    QTemporaryDir dir;
    for (int trial = 0; trial < 30; ++trial) {
      const QChar decimalChar = trial % 2 ? u',' : u'.';
      model = std::make_unique<Model>();
      pages.SetModel(model.get());
      pages.SetDecimalChar(decimalChar);
      pages.ShowPages();
      PickEveryBox();
      FillEveryField(decimalChar);
      const QString first = dir.filePath(QStringLiteral("first.vis"));
      const QByteArray saved = Save(first);
      Open(first);
      EXPECT_EQ(Save(dir.filePath(QStringLiteral("again.vis"))).toStdString(), saved.toStdString()) << "trial " << trial;
    }
    EXPECT_TRUE(prompter.Prompts().empty());
  }

  std::mt19937 random{2512};
  std::unique_ptr<Model> model;
  Pages pages;
  TScriptedPrompter prompter;
};

using W830RoundTrip = SettingsRoundTrip<TSettingsPages, w830::Tdata7400>;
using W840RoundTrip = SettingsRoundTrip<w840::TSettingsPages, w840::Tdata7400>;

TEST_F(W830RoundTrip, SaveOpenSaveGivesTheSameBytesForEveryValueThePagesTake) { RunTrials(); }
TEST_F(W840RoundTrip, SaveOpenSaveGivesTheSameBytesForEveryValueThePagesTake) { RunTrials(); }

}  // namespace
