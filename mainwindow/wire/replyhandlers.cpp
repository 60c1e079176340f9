#include "mainwindow/wire/replyhandlers.h"

#include "protocol/settingsmodel.h"

namespace {

constexpr int32_t kMinValue = -99999;
constexpr int32_t kMaxValue = 999999;

bool ParsePrefixed(TReplyContext& context, const std::string& reply) {
  return context.parser.ParseReply(context.prefix + reply, false, true);
}

// The indicator's port numbering starts at firstPort; the model counts from 0.
TReplyVerdict PortReply(TReplyContext& context, const std::string& reply, int32_t firstPort) {
  int32_t value = 0;
  if (!ParsePrefixed(context, reply) || !context.parser.GetInteger(0, value, firstPort, 9999))
    return TReplyVerdict::Wait;
  if (context.model) context.model->SetWFP(value - firstPort);
  context.replyValue = value;
  return TReplyVerdict::Accept;
}

}  // namespace

TReplyVerdict AckReply(TReplyContext&, const std::string& reply) {
  if (reply == "0") return TReplyVerdict::Accept;
  if (reply == "?") return TReplyVerdict::Fail;
  return TReplyVerdict::Wait;
}

TReplyVerdict SetReply(TReplyContext& context, const std::string& reply) {
  const TReplyVerdict verdict = AckReply(context, reply);
  if (verdict == TReplyVerdict::Fail) context.failureMessage = "Invalid Setting";
  return verdict;
}

TReplyVerdict IntegerReply(TReplyContext& context, const std::string& reply) {
  int32_t value = 0;
  if (!ParsePrefixed(context, reply) || !context.parser.GetInteger(0, value, kMinValue, kMaxValue))
    return TReplyVerdict::Wait;
  context.replyValue = value;
  return TReplyVerdict::Accept;
}

TReplyVerdict CalStatusReply(TReplyContext& context, const std::string& reply) {
  int32_t value = 0;
  if (!ParsePrefixed(context, reply) || !context.parser.GetInteger(1, value, kMinValue, kMaxValue))
    return TReplyVerdict::Wait;
  context.calStatus = value;
  return TReplyVerdict::Accept;
}

TReplyVerdict WfpReply(TReplyContext& context, const std::string& reply) { return PortReply(context, reply, 0); }

TReplyVerdict w840::WfpReply(TReplyContext& context, const std::string& reply) { return PortReply(context, reply, 1); }

TReplyVerdict LinPointReply(TReplyContext& context, const std::string& reply) {
  int32_t point = 0, percent = 0, weight = 0;
  if (!ParsePrefixed(context, reply) || !context.parser.GetInteger(0, point, 1, 10) ||
      !context.parser.GetInteger(1, percent, -150, 150) ||
      !context.parser.GetInteger(2, weight, kMinValue, kMaxValue))
    return TReplyVerdict::Wait;
  if (context.model) {
    context.model->LinPercent[static_cast<std::size_t>(point - 1)] = percent;
    context.model->LinWeight[static_cast<std::size_t>(point - 1)] = weight;
  }
  if (context.settingsChanged) context.settingsChanged();
  return TReplyVerdict::Accept;
}

TReplyVerdict CalDataReply(TReplyContext& context, const std::string& reply) {
  if (reply == "?") {
    context.failureMessage = "Invalid Setting";
    return TReplyVerdict::Fail;
  }
  if (reply.rfind(context.prefix, 0) != 0) return TReplyVerdict::Wait;
  context.calData = reply;
  return TReplyVerdict::Accept;
}

TReplyVerdict ClearWaitReply(TReplyContext&, const std::string&) { return TReplyVerdict::Accept; }
