#pragma once
// What one indicator model does its own way in the calibration steps: the
// mnemonics of its zero and span, how it reports a running action, its error
// texts, the look of its busy display, how it takes direct mV/V values and whether
// it calibrates with absolute mV/V values in a weigh mode of its own. The steps
// themselves are shared.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "mainwindow/wire/replyhandlers.h"

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
  // Span checks the link before anything else; without the check its first request
  // fails with its own message.
  bool spanChecksLink = true;
  // A written mV/V value waits this many ticks for its answer (0: the reply
  // time-out), and is followed by a status wait or not.
  int mvWriteTicks = 0;
  bool statusWaitAfterMvWrite = true;
  // In this weigh mode Zero and Span ask for absolute mV/V values instead of
  // weighing, the direct mV/V group is usable and the span weight and the
  // linearisation are hidden; none: the page always weighs.
  std::optional<int32_t> absoluteWeighMode;
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
