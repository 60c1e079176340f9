// The W830's way of calibrating: LDN and LWN, the status in the second field of
// the status reply, its error texts in an error box, and dashes on the LCD.
#include "mainwindow/calibration/calibrationdialect.h"
#include "platform/prompter.h"

namespace w830 {

QString CalErrorMessage(int code) {
  const char* text = "Unknown Error";
  switch (code) {
    case 101: text = "Zero Too High (> 3 mV/V) Or Too Low (< -3 mV/V)"; break;
    case 104: text = "Span Too High (> 3.2 mV/V) Or Too Low (< -3.2 mV/V)"; break;
    case 106: text = "Internal Error"; break;
    default: break;
  }
  return QStringLiteral("Calibration Error: %1: %2").arg(code).arg(QString::fromLatin1(text));
}

const TCalibrationDialect& CalibrationDialect() {
  static const TCalibrationDialect dialect{
      .zeroMnemonic = "LDN",
      .spanMnemonic = "LWN",
      .busySegments = "22002200220022002200220000000000",
      .statusReply = CalStatusReply,
      .showCalError = [](int code) { Prompter().MessageDlg(CalErrorMessage(code), TMsgDlgType::mtError, mbOK); },
      .serialNumberQuestion = QStringLiteral("NQ3752 serial number is different. Continue?"),
      .spanChecksLink = true,
      .mvWriteTicks = 0,
      .statusWaitAfterMvWrite = true,
      .absoluteWeighMode = std::nullopt,
  };
  return dialect;
}

}  // namespace w830
