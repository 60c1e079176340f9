#include "mimic/voxMimicDisp.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QSignalSpy>
#include <vector>

#include "tests/mimic/mimic_fixture.h"

namespace {

using Fixture = MimicFixture;

TEST_F(Fixture, CreatedWithWholeControlAsLcdAndBlackSegments) {
  TVoxMimicDisp fresh;
  EXPECT_EQ(fresh.size(), QSize(100, 100));
  EXPECT_EQ(fresh.LCDLeft(), 0);
  EXPECT_EQ(fresh.LCDTop(), 0);
  EXPECT_EQ(fresh.LCDWidth(), 1000);
  EXPECT_EQ(fresh.LCDHeight(), 1000);
  EXPECT_EQ(fresh.LCD().OnColor, 0u);
  EXPECT_FALSE(fresh.Buttons().Active());
}

TEST_F(Fixture, LitSegmentsTakeOnColourAndUnlitShowTheBackground) {
  mimic->LCD().OnColor = 0x0000FFD0;
  Load();
  ASSERT_TRUE(mimic->LCDActive());
  mimic->LCD().SetSegmentsHex("8");
  mimic->PaintLCD();
  EXPECT_EQ(Pixel(2, 2), qRgb(0xD0, 0xFF, 0x00));
  EXPECT_EQ(Pixel(5, 5), qRgb(0xD0, 0xFF, 0x00));
  EXPECT_EQ(Pixel(8, 2), Picture().pixel(8, 2));
  EXPECT_EQ(Pixel(0, 0), Picture().pixel(0, 0));
  EXPECT_EQ(Pixel(6, 3), Picture().pixel(6, 3));
}

TEST_F(Fixture, OffColourPaintsUnlitSegments) {
  mimic->LCD().OnColor = 0x000000FF;
  mimic->LCD().OffColor = 0x00FF0000;
  Load();
  mimic->LCD().SetSegmentsHex("4");
  mimic->PaintLCD();
  EXPECT_EQ(Pixel(3, 3), qRgb(0, 0, 0xFF));
  EXPECT_EQ(Pixel(9, 3), qRgb(0xFF, 0, 0));
  EXPECT_EQ(Pixel(15, 3), Picture().pixel(15, 3));
}

TEST_F(Fixture, SegmentsShowLitBeforeTheFirstStateString) {
  mimic->LCD().OnColor = 0x00FFFFFF;
  Load();
  EXPECT_EQ(Pixel(3, 3), qRgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(Pixel(9, 3), qRgb(0xFF, 0xFF, 0xFF));
}

TEST_F(Fixture, LcdRectangleInThousandths) {
  mimic->resize(500, 300);
  mimic->SetLCDLeft(100);
  mimic->SetLCDTop(90);
  mimic->SetLCDWidth(650);
  mimic->SetLCDHeight(360);
  Load();
  EXPECT_EQ(mimic->LCDRect(), QRect(50, 27, 325, 108));
  EXPECT_EQ(mimic->LCD().Map.Width, 325);
  EXPECT_EQ(mimic->LCD().Map.Height, 108);
}

TEST_F(Fixture, LcdInsideItsRectangleLeavesTheRestOfThePicture) {
  mimic->SetLCDLeft(500);  // the LCD map is drawn on the right half, 20 x 20
  mimic->SetLCDWidth(500);
  mimic->LCD().OnColor = 0x00FFFFFF;
  Load();
  mimic->LCD().SetSegmentsHex("C");
  mimic->PaintLCD();
  // Segment 0 covers map columns 2..5 of 40, which the 20-pixel rectangle halves.
  EXPECT_EQ(Pixel(20 + 1, 3), qRgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(Pixel(20 + 3, 3), Picture().pixel(23, 3));
  EXPECT_EQ(Pixel(2, 3), Picture().pixel(2, 3));
}

TEST_F(Fixture, JpegWithLowerCaseExtensionIsAccepted) {
  Picture().save(dir.Path("panel.jpg"), "JPEG");
  Load(dir.Path("panel.jpg"));
  EXPECT_TRUE(mimic->LCDActive());
  EXPECT_TRUE(mimic->Buttons().Active());
}

class UnusableBackground : public MimicFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnusableBackground, ReportedOnceAfterTheCallAndPanelStaysInactive) {
  const QString name = QString::fromLatin1(GetParam());
  Picture().save(dir.Path(name), "PNG");
  prompter.AnswerMessage(mrOk);
  Load(dir.Path(name));
  EXPECT_TRUE(prompter.Prompts().empty()) << "the error box must be posted, not shown inside the load";
  mimic->Reload();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Prompts().empty(); }, 5000));
  QTest::qWait(0);
  ASSERT_EQ(prompter.Prompts().size(), 1u);
  EXPECT_EQ(prompter.Prompts()[0].text, "Image format not recognised");
  EXPECT_EQ(prompter.Prompts()[0].type, TMsgDlgType::mtError);
  EXPECT_EQ(prompter.Prompts()[0].buttons, unsigned{mbOK});
  EXPECT_FALSE(mimic->LCDActive());
  EXPECT_FALSE(mimic->Buttons().Active());
  int downs = 0;
  mimic->Buttons().OnKeyDown = [&](TVoxLCDButtons*, int) { ++downs; };
  QTest::mousePress(mimic.get(), Qt::LeftButton, {}, QPoint(22, 12));
  EXPECT_EQ(downs, 0);
}

INSTANTIATE_TEST_SUITE_P(Extensions, UnusableBackground, ::testing::Values("panel.jpeg", "panel.png", "panel"));

TEST_F(Fixture, AFixedBackgroundBringsThePanelBack) {
  prompter.AnswerMessage(mrOk);
  Load(dir.Path("panel.gif"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompter.Messages().size() == 1; }, 5000));
  mimic->SetBackgroundFile(dir.Path("panel.BMP"));
  mimic->Reload();
  EXPECT_TRUE(mimic->LCDActive());
  EXPECT_TRUE(mimic->Buttons().Active());
}

struct MissingFile {
  const char* what;
  const char* background;
  const char* lcd;
  const char* key;
  const char* named;  // the file the message must name
  bool lcdStillShows;
};
void PrintTo(const MissingFile& c, std::ostream* os) { *os << c.what; }

class MissingPanelFile : public MimicFixture, public ::testing::WithParamInterface<MissingFile> {};

TEST_P(MissingPanelFile, NamedInTheErrorAndPanelInactive) {
  const MissingFile& c = GetParam();
  lcdFile = dir.Path(c.lcd);
  keyFile = dir.Path(c.key);
  prompter.AnswerMessage(mrOk);
  Load(dir.Path(c.background));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, 5000));
  EXPECT_TRUE(prompter.Messages()[0].contains(dir.Path(c.named))) << prompter.Messages()[0].toStdString();
  EXPECT_EQ(mimic->LCDActive(), c.lcdStillShows);
  EXPECT_FALSE(mimic->Buttons().Active());
}

INSTANTIATE_TEST_SUITE_P(
    Files, MissingPanelFile,
    ::testing::Values(
        MissingFile{"picture", "absent.BMP", "W830_830lcd.VB2", "W830_830key.VB2", "absent.BMP", false},
        MissingFile{"lcd map", "panel.BMP", "absentlcd.VB2", "W830_830key.VB2", "absentlcd.VB2", false},
        MissingFile{"key map", "panel.BMP", "W830_830lcd.VB2", "absentkey.VB2", "absentkey.VB2", true}));

TEST_F(Fixture, PictureThatIsNotABitmapIsReportedWithItsName) {
  dir.Write("broken.BMP", "this is not a picture");
  prompter.AnswerMessage(mrOk);
  Load(dir.Path("broken.BMP"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter.Messages().empty(); }, 5000));
  EXPECT_TRUE(prompter.Messages()[0].startsWith("Cannot read picture \"" + dir.Path("broken.BMP")));
}

TEST_F(Fixture, WithoutKeyFileThereAreNoKeys) {
  Load(QString(), false);
  EXPECT_TRUE(mimic->LCDActive());
  EXPECT_FALSE(mimic->Buttons().Active());
}

TEST_F(Fixture, ResizesAreLaidOutOnceWhenTheySettle) {
  mimic->show();
  Load();
  const int loads = mimic->LCD().MapLoads();
  for (int step = 1; step <= 5; ++step) {
    mimic->resize(kW + step, kH + step);
    QCoreApplication::sendPostedEvents();
  }
  EXPECT_TRUE(mimic->ReloadPending());
  EXPECT_EQ(mimic->LCD().MapLoads(), loads);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !mimic->ReloadPending(); }, 5000));
  EXPECT_EQ(mimic->LCD().MapLoads(), loads + 1);
  EXPECT_EQ(mimic->Canvas().size(), QSize(kW + 5, kH + 5));
  EXPECT_EQ(mimic->LCD().Map.Width, kW + 5);
  EXPECT_EQ(mimic->Buttons().KeyMap.Width, kW + 5);
}

TEST_F(Fixture, RepaintAtTheSameSizeDoesNotReadTheMapAgain) {
  Load();
  const int loads = mimic->LCD().MapLoads();
  mimic->LCD().SetSegmentsHex("F");
  mimic->PaintLCD();
  mimic->PaintLCD();
  EXPECT_EQ(mimic->LCD().MapLoads(), loads);
}

// Records the region of every paint the mimic receives.
class PaintRecorder : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
  std::vector<QRegion> painted;
};

TEST_F(Fixture, APaintShowsAtOnceOnlyTheSegmentsThatChanged) {
  mimic->show();
  Load();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(mimic.get()));
  mimic->LCD().SetSegmentsHex("0");
  mimic->PaintLCD();
  QCoreApplication::processEvents();
  PaintRecorder recorder;
  mimic->installEventFilter(&recorder);

  mimic->LCD().SetSegmentsHex("0");
  mimic->PaintLCD();
  EXPECT_TRUE(recorder.painted.empty()) << "no segment changed";

  mimic->LCD().SetSegmentsHex("4");
  mimic->PaintLCD();
  ASSERT_EQ(recorder.painted.size(), 1u) << "painted within the call";
  EXPECT_EQ(recorder.painted[0], QRegion(8, 2, 4, 4)) << "segment 1 alone";
  mimic->removeEventFilter(&recorder);
}

}  // namespace
