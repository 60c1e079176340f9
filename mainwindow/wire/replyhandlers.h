#pragma once
// The handlers that a Request gives each reply to. A handler accepts the reply
// (the wait ends with success), rejects it (the wait ends with failure) or lets
// the Request go on waiting for a later reply or the time-out.
#include <cstdint>
#include <functional>
#include <string>

#include "protocol/comms.h"

class TSettingsModel;

enum class TReplyVerdict { Wait, Accept, Fail };

// What the handlers read and write besides the reply itself.
struct TReplyContext {
  std::string prefix;  // put in front of a reply that carries only values
  Tcommsobj parser;
  int32_t replyValue = 0;
  int32_t calStatus = 0;
  std::string calData;  // a calibration block as the indicator sent it
  TSettingsModel* model = nullptr;           // the working settings
  std::function<void()> settingsChanged;     // refresh the settings pages
  std::string failureMessage;                // an error box to show once the wait has ended
};

using TReplyHandler = std::function<TReplyVerdict(TReplyContext& context, const std::string& reply)>;

// "0" accepts, "?" fails at once.
TReplyVerdict AckReply(TReplyContext& context, const std::string& reply);
// As AckReply; a "?" also asks for the error box "Invalid Setting".
TReplyVerdict SetReply(TReplyContext& context, const std::string& reply);
// Field 0 in -99999..999999 into replyValue.
TReplyVerdict IntegerReply(TReplyContext& context, const std::string& reply);
// Field 1 in -99999..999999 into calStatus.
TReplyVerdict CalStatusReply(TReplyContext& context, const std::string& reply);
// Field 0 in 0..9999: the working model's WFP and replyValue.
TReplyVerdict WfpReply(TReplyContext& context, const std::string& reply);
namespace w840 {
// The W840 numbers its ports from 1: field 0 in 1..9999 into replyValue, and the
// port below it into the working model's WFP.
TReplyVerdict WfpReply(TReplyContext& context, const std::string& reply);
}  // namespace w840
// Point number 1..10, percent -150..150 and weight -99999..999999 into the
// working model's linearisation table.
TReplyVerdict LinPointReply(TReplyContext& context, const std::string& reply);
// A reply that starts with the prefix (the block's number and a comma, as the
// indicator echoes it) is a calibration block: kept whole in calData. A "?" fails
// and asks for the error box "Invalid Setting".
TReplyVerdict CalDataReply(TReplyContext& context, const std::string& reply);
// Any reply ends the wait.
TReplyVerdict ClearWaitReply(TReplyContext& context, const std::string& reply);
