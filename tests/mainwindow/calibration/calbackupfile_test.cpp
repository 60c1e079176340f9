// The calibration backup file on its own: its layout, its checksum and the
// questions a restore asks about it.
#include "mainwindow/calibration/calbackupfile.h"

#include <gtest/gtest.h>

#include "platform/inifile.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

namespace {

const TCalIdentity kHere{"Velmacor W830 Viewer", "1.33", "SCALE1", "2.10", "SIM00001"};

TMemIniFile Reread(const TMemIniFile& ini) {
  TMemIniFile again;
  again.SetBytes(ini.Bytes());
  return again;
}

TEST(CalBackupFile, ChecksumIs165PlusTheBytesTakenUnsigned) {
  EXPECT_EQ(CalChecksum(""), 165);
  EXPECT_EQ(CalChecksum("A"), 165 + 65);
  EXPECT_EQ(CalChecksum("\xff\x80"), 165 + 255 + 128);
  EXPECT_EQ(CalBlockLine(3, ""), "BCA3=");
  // Only a text of some 8 MB could pass the 32-bit limit; the sum wraps there.
  EXPECT_EQ(CalChecksum(std::string(8421505, '\xff')), static_cast<int32_t>(165u + 8421505u * 255u));
}

TEST(CalBackupFile, IsWrittenInTheTableOrderAndReadsBackWithAMatchingChecksum) {
  TMemIniFile ini;
  ini.SetBytes("[Old]\r\nStale=1\r\n[CalData]\r\nBCA4=4,OLD\r\n");
  FillCalBackup(ini, kHere, {{0, "0,1000,0000"}, {1, "  1,1001,0007 "}, {3, "3,1003"}});
  EXPECT_EQ(ini.Bytes().toStdString(),
            "[Header]\r\nViewerProduct=Velmacor W830 Viewer\r\nViewerVersion=1.33\r\nIndicatorModel=SCALE1\r\n"
            "IndicatorVersion=2.10\r\nIndicatorSerialNo=SIM00001\r\n\r\n"
            "[CalData]\r\nBCA0=0,1000,0000\r\nBCA1=  1,1001,0007 \r\nBCA3=3,1003\r\nChecksum=" +
                QByteArray::number(CalChecksum("BCA0=0,1000,0000\r\nBCA1=1,1001,0007\r\nBCA3=3,1003\r\n")).toStdString() + "\r\n");

  const TCalBackup backup = ReadCalBackup(Reread(ini));
  EXPECT_EQ(backup.values, (std::array<std::string, kCalBlocks>{"0,1000,0000", "1,1001,0007", "", "3,1003", ""}));
  EXPECT_EQ(backup.identity.viewerVersion, QStringLiteral("1.33"));
  // Block 2 and 4 were not read: the reader's five lines differ from the writer's.
  EXPECT_NE(backup.storedChecksum, backup.Checksum());

  FillCalBackup(ini, kHere, {{0, "0"}, {1, "1"}, {2, "2"}, {3, "3"}, {4, "4\rcut"}});
  const TCalBackup complete = ReadCalBackup(Reread(ini));
  EXPECT_EQ(complete.values[4], "4");
  EXPECT_EQ(complete.storedChecksum, complete.Checksum());
  EXPECT_TRUE(RestoreQuestions(complete, kHere, "serial?").empty());
}

TEST(CalBackupFile, TheReaderFindsTheChecksumWhateverItsCaseAndTakesRubbishAsZero) {
  struct Case {
    const char* line;
    int32_t stored;
  } cases[] = {{"CheckSum=1234", 1234}, {"checksum=-7", -7}, {"Checksum=12a", 0}, {"Checksum=", 0}, {"", 0}};
  for (const auto& c : cases) {
    TMemIniFile ini;
    ini.SetBytes(QByteArray("[CalData]\r\n") + c.line + "\r\n");
    EXPECT_EQ(ReadCalBackup(ini).storedChecksum, c.stored) << c.line;
  }
}

TEST(CalBackupFile, RestoreQuestionsFollowTheirOrderAndCompareExactly) {
  TMemIniFile ini;
  FillCalBackup(ini, kHere, {{0, "0,1"}, {1, "1,2"}, {2, "2,3"}, {3, "3,4"}, {4, "4,5"}});
  const TCalBackup backup = ReadCalBackup(ini);
  struct Case {
    const char* name;
    TCalIdentity here;
    std::vector<QString> questions;
  } cases[] = {
      {"same", kHere, {}},
      {"other product", {"Velmacor W840 Viewer", "1.33", "SCALE1", "2.10", "SIM00001"},
       {"Viewer is different. Continue?"}},
      {"other version", {"Velmacor W830 Viewer", "1.34", "SCALE1", "2.10", "SIM00001"},
       {"Viewer version is different. Continue?"}},
      {"model differs only in case", {"Velmacor W830 Viewer", "1.33", "scale1", "2.10", "SIM00001"},
       {"Indicator model is different. Continue?"}},
      {"everything", {"", "", "", "", ""},
       {"Viewer is different. Continue?", "Viewer version is different. Continue?",
        "Indicator model is different. Continue?", "Indicator software version is different. Continue?",
        "serial?"}},
  };
  for (const auto& c : cases) EXPECT_EQ(RestoreQuestions(backup, c.here, "serial?"), c.questions) << c.name;

  TCalBackup edited = backup;
  edited.values[2] = "2,4";
  EXPECT_EQ(RestoreQuestions(edited, kHere, "serial?"),
            std::vector<QString>{QStringLiteral("Stored checksum is incorrect. Continue?")});
}

TEST(CalBackupFile, TheViewerVersionRunsMinorAndReleaseTogether) {
  EXPECT_EQ(ViewerVersionText("1", "3", "3"), QStringLiteral("1.33"));
  QString version, product;
  {
    TTempExeDir elsewhere;  // a program file without a version block, as the window tests have
    ViewerVersion(version, product);
    EXPECT_EQ(product, QStringLiteral("<info not available>"));
  }
  ViewerVersion(version, product);
  EXPECT_EQ(product, QStringLiteral("Velmacor Test"));
  EXPECT_EQ(version, QStringLiteral("1.00"));
}

}  // namespace
