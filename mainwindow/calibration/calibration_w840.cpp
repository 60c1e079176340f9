// The W840's way of calibrating: LDW and LWT, the status in the first field of the
// status reply, its error texts in a plain box, dashes on its twenty-digit LCD,
// mV/V values written without a status wait, and absolute mV/V values in place of
// weighing in the weigh mode "Direct".
#include "mainwindow/calibration/calibrationdialect.h"
#include <iterator>

#include "platform/prompter.h"
#include "protocol/database840.h"

namespace w840 {
namespace {

TReplyVerdict StatusInFirstField(TReplyContext& context, const std::string& reply) {
  const TReplyVerdict verdict = IntegerReply(context, reply);
  if (verdict == TReplyVerdict::Accept) context.calStatus = context.replyValue;
  return verdict;
}

}  // namespace

QString CalErrorMessage(int code) {
  static const char* const kTexts[] = {"Zero Too High", "Zero Too Low",      "Span Too Low",
                                       "Span Too High", "Invalid Zero Cal", "Internal Error"};
  const int i = code - 101;
  const char* text = i >= 0 && i < static_cast<int>(std::size(kTexts)) ? kTexts[i] : "";
  return QStringLiteral("Error: %1 - %2").arg(code).arg(QString::fromLatin1(text));
}

const TCalibrationDialect& CalibrationDialect() {
  static const TCalibrationDialect dialect{
      .zeroMnemonic = "LDW",
      .spanMnemonic = "LWT",
      .busySegments = "02020202020200000000",
      .statusReply = StatusInFirstField,
      .showCalError = [](int code) { Prompter().ShowMessage(CalErrorMessage(code)); },
      .serialNumberQuestion = QStringLiteral("W840 serial number is different. Continue?"),
      .spanChecksLink = false,
      .mvWriteTicks = 200,
      .statusWaitAfterMvWrite = false,
      .absoluteWeighMode = Tdata7400::kDirectWeighMode,
  };
  return dialect;
}

}  // namespace w840
