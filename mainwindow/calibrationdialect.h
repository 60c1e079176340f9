#pragma once
// What one indicator model does its own way in the calibration steps: the
// mnemonics of its zero and span, how it reports a running action, its error
// texts and the look of its busy display. The steps themselves are shared.
#include <QString>
#include <functional>
#include <string>

#include "mainwindow/replyhandlers.h"

struct TCalibrationDialect {
  std::string zeroMnemonic;
  std::string spanMnemonic;
  // The segment state string the Calibration page's LCD shows while a step runs.
  std::string busySegments;
  // Takes the reply to "<mnemonic>?" and puts the action's status into calStatus:
  // 1 busy, 0 done, above 100 an error code.
  TReplyHandler statusReply;
  // Tells the user of an error code above 100.
  std::function<void(int code)> showCalError;
  // The restore's question when the backup was made from another indicator.
  QString serialNumberQuestion;
};

namespace w830 {
// "Calibration Error: <code>: <text>".
QString CalErrorMessage(int code);
const TCalibrationDialect& CalibrationDialect();
}  // namespace w830

namespace w840 {
// "Error: <code> - <text>", the text empty for a code the W840 does not name.
QString CalErrorMessage(int code);
const TCalibrationDialect& CalibrationDialect();
}  // namespace w840
