#include "mainwindow/calibration/calibrationsteps.h"

#include <optional>
#include <stdexcept>

#include "platform/inifile.h"
#include "platform/prompter.h"
#include "protocol/tools.h"

namespace {

// Ends a step quietly: the window is closing, nobody is left to ask or tell; or
// the indicator did not answer, which the technician has just been told.
struct TStepAborted {};

constexpr int kStatusPollTicks = 5;
constexpr int kDoneAnswers = 5;
constexpr int kDirectLimit = 32000;

const QString kCalFileFilter = QStringLiteral("Calibration files (*.cal);;All files (*.*)");

[[noreturn]] void Fail(const char* message) { throw std::runtime_error(message); }
[[noreturn]] void Fail(const QString& message) { throw std::runtime_error(message.toLatin1().toStdString()); }

// Locks the window for one step and unlocks it on every way out.
class TCalLock {
 public:
  explicit TCalLock(TCalibrationSteps::THost& host) : host_(host) { host_.SetCalibrating(true); }
  ~TCalLock() {
    host_.SetCalibrating(false);
    host_.UpdateStatusLine();
  }
  TCalLock(const TCalLock&) = delete;
  TCalLock& operator=(const TCalLock&) = delete;

 private:
  TCalibrationSteps::THost& host_;
};

// A block value goes on the wire as it stands: it must not carry a command end or
// a frame mark that would make the indicator take part of it as a command of its own.
bool Sendable(const std::string& value) {
  for (const char c : value)
    if (c == ';' || static_cast<unsigned char>(c) < 32) return false;
  return true;
}

}  // namespace

template <class F>
void TCalibrationSteps::RunStep(F&& body) {
  if (running_) return;
  running_ = true;
  bool readSettings = false;
  try {
    const TCalLock lock(host_);
    EnterCalMode();
    readSettings = body();
  } catch (const TStepAborted&) {
    running_ = false;
    return;
  } catch (...) {
    running_ = false;
    throw;
  }
  running_ = false;
  // An indicator that has just not answered is not read again in the same action.
  if (readSettings && !host_.Unanswered()) host_.ReadSettings();
}

void TCalibrationSteps::EnterCalMode() {
  host_.StopStreamedLog();
  // A display poll already on the wire is answered before the first request.
  Delay(host_.ReplyTimeout());
  host_.ShowCalSegments(dialect_.busySegments);
}

void TCalibrationSteps::RequireLink() {
  if (!host_.LinkActive()) Fail("No instrument connected");
}

bool TCalibrationSteps::Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
                                const std::string& prefix) {
  const bool accepted = host_.Request(command, timeoutTicks, handler, prefix);
  if (!accepted && (host_.Closing() || host_.Unanswered())) throw TStepAborted{};
  return accepted;
}

bool TCalibrationSteps::Query(const std::string& command, const TReplyHandler& handler, const std::string& prefix) {
  return Request(command, host_.ReplyTimeout(), handler, prefix);
}

void TCalibrationSteps::Delay(int ticks) {
  if (!host_.DelayTicks(ticks) && host_.Closing()) throw TStepAborted{};
}

void TCalibrationSteps::WaitCalDone(const std::string& name) {
  // Done after five "done" answers in a row; each "busy" starts the count again.
  int count = kDoneAnswers;
  while (count > 0) {
    Delay(kStatusPollTicks);
    // An unanswered status ends the wait but not the step: the save question follows.
    if (!host_.Request(name + "?", host_.ReplyTimeout(), dialect_.statusReply, name)) {
      if (host_.Closing()) throw TStepAborted{};
      break;
    }
    const int32_t status = host_.ReplyContext().calStatus;
    if (status == 1) {
      count = kDoneAnswers;
    } else if (status == 0) {
      --count;
    } else if (status > 100) {
      dialect_.showCalError(status);
      break;
    }
  }
}

bool TCalibrationSteps::AbsolutePath() const {
  return dialect_.absoluteWeighMode && host_.WeighMode() == *dialect_.absoluteWeighMode;
}

struct TCalibrationSteps::TAbsoluteTexts {
  const char* readFailed;
  const char* prompt;
  const char* cancelled;
  const char* writeFailed;
};

void TCalibrationSteps::CalibrateAbsolute(const std::string& query, const std::string& mnemonic,
                                          const TAbsoluteTexts& texts) {
  if (!Query(query, IntegerReply, query.substr(0, 3))) Fail(texts.readFailed);
  const std::optional<int32_t> value =
      host_.AskAbsoluteValue(QString::fromLatin1(texts.prompt), host_.ReplyContext().replyValue);
  if (host_.Closing()) throw TStepAborted{};
  if (!value) Fail(texts.cancelled);
  WriteMv(mnemonic, *value, texts.writeFailed);
}

void TCalibrationSteps::WriteMv(const std::string& mnemonic, int32_t value, const char* failure) {
  const int ticks = dialect_.mvWriteTicks > 0 ? dialect_.mvWriteTicks : host_.ReplyTimeout();
  if (!Request(mnemonic + std::to_string(value), ticks, SetReply)) Fail(failure);
  if (dialect_.statusWaitAfterMvWrite) WaitCalDone(mnemonic);
}

void TCalibrationSteps::AskSaveCalibration() {
  const QString question = QStringLiteral(
      "Save calibration in indicator? If you select 'No' here, 'Write Settings' can be used later to save the "
      "calibration.");
  if (Prompter().MessageDlg(question, TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes) return;
  if (!Query("TDD1;", SetReply)) Fail("Save settings to indicator failed");
  host_.SetInSync(false);
}

int32_t TCalibrationSteps::WeightDigits(TField field) {
  // "12.5" at two decimals is 1250 counts, whether or not the field was left first.
  const std::string text = FixDecimals(host_.FieldText(field), host_.Decimals(), host_.DecimalChar());
  host_.SetFieldText(field, text);
  return DigitsToInt(text);
}

int32_t TCalibrationSteps::DirectValue(TField field, const char* invalidMessage) {
  const std::optional<int32_t> value = DecimalTextToCount(host_.FieldText(field), 4, host_.DecimalChar());
  if (!value) Fail(invalidMessage);
  host_.StoreDirectValue(field, *value);
  return *value;
}

int TCalibrationSteps::SelectedPoint() {
  const int row = host_.SelectedLinPoint();
  if (row < 0) Fail("No linearisation point selected");
  return row + 1;
}

void TCalibrationSteps::BtnZeroClick() {
  RunStep([this] {
    RequireLink();
    const std::string& zero = dialect_.zeroMnemonic;
    if (AbsolutePath()) {
      // The indicator's present signal is the zero offered.
      CalibrateAbsolute("VAL?", zero,
                        {"Reading mV/V value failed", "Enter Zero Signal", "mV/V zero calibration cancelled",
                         "Writing mV/V zero calibration value failed"});
    } else {
      if (!Query(zero + ";", SetReply)) Fail("Initiating zero calibration failed");
      WaitCalDone(zero);
    }
    AskSaveCalibration();
    return true;
  });
}

void TCalibrationSteps::BTnSpanClick() {
  RunStep([this] {
    if (dialect_.spanChecksLink) RequireLink();
    const std::string& span = dialect_.spanMnemonic;
    if (AbsolutePath()) {
      CalibrateAbsolute(span + "?", span,
                        {"Reading mV/V span calibration value failed", "Enter Fullscale Span Signal",
                         "mV/V span calibration cancelled", "Writing mV/V span calibration value failed"});
    } else {
      const int32_t weight = WeightDigits(TField::kSpanWeight);
      if (!Query("CWT" + std::to_string(weight), SetReply)) Fail("Setting calibration weight failed");
      if (!Query(span + ";", SetReply)) Fail("Initiating span calibration failed");
      WaitCalDone(span);
    }
    AskSaveCalibration();
    return true;
  });
}

void TCalibrationSteps::btnCalDirectClick() {
  RunStep([this] {
    RequireLink();
    const int32_t zero = DirectValue(TField::kDirectZero, "Invalid mV/V zero value. Calibration failed.");
    const int32_t span = DirectValue(TField::kDirectSpan, "Invalid mV/V span value. Calibration failed.");
    if (zero > kDirectLimit)
      Fail("Zero mV/V value error. Calibration failed because direct zero value too big. Must be <= 3.2mV/V");
    if (zero < -kDirectLimit)
      Fail("Zero mV/V value error. Calibration failed because direct zero value too small. Must be >= -3.2mV/V");
    if (span > kDirectLimit)
      Fail("Span mV/V value error. Calibration failed because direct span value too big. Must be <= 3.2mV/V");
    if (span < -kDirectLimit)
      Fail("Span mV/V value error. Calibration failed because direct span value too small. Must be >= -3.2mV/V");
    if (zero == span) Fail("Calibration failed because span and zero mV/V values cannot be equal.");
    WriteMv(dialect_.zeroMnemonic, zero, "Writing mV/V zero calibration value failed");
    WriteMv(dialect_.spanMnemonic, span, "Writing mV/V span calibration value failed");
    AskSaveCalibration();
    return true;
  });
}

void TCalibrationSteps::BtnLSetClick() {
  RunStep([this] {
    RequireLink();
    const std::string n = std::to_string(SelectedPoint());
    const int32_t weight = WeightDigits(TField::kLinWeight);
    if (!Request("LIC" + n + "," + std::to_string(weight), host_.ReplyTimeout() * 10, SetReply))
      Fail("Setting linearisation point failed");
    if (!Query("LIC?" + n, LinPointReply, "LIC" + n + ","))
      Fail("Reading back linearisation point failed");
    AskSaveCalibration();
    return false;
  });
}

void TCalibrationSteps::BtnLClearClick() {
  RunStep([this] {
    RequireLink();
    const std::string n = std::to_string(SelectedPoint());
    if (!Query("LIC" + n + ";", SetReply)) Fail("Clearing linearisation point failed");
    if (!Query("LIC?" + n + ";", LinPointReply, "LIC" + n + ","))
      Fail("Reading back linearisation point failed");
    AskSaveCalibration();
    return false;
  });
}

TCalIdentity TCalibrationSteps::Identity() const {
  TCalIdentity identity = host_.IndicatorIdentity();
  ViewerVersion(identity.viewerVersion, identity.viewerProduct);
  return identity;
}

std::vector<TCalBlock> TCalibrationSteps::ReadCalData() {
  std::vector<TCalBlock> blocks;
  TReplyContext& context = host_.ReplyContext();
  for (int i = 0; i < kCalBlocks; ++i) {
    context.calData.clear();
    // The reply echoes its block's number: a reply of another block is never filed under this one.
    const bool read = Query("BCA?" + std::to_string(i) + ";", CalDataReply, std::to_string(i) + ",");
    if (read && context.calData.size() > 1) {
      blocks.push_back({i, context.calData});
    } else {
      Prompter().MessageDlg(QStringLiteral("Reading calibration information from indicator failed"),
                            TMsgDlgType::mtWarning, mbOK);
    }
  }
  return blocks;
}

void TCalibrationSteps::SaveCalFile(const QString& fileName) {
  const std::vector<TCalBlock> blocks = ReadCalData();
  TMemIniFile ini(fileName);
  FillCalBackup(ini, Identity(), blocks);
  if (!ini.UpdateFile())
    Fail(QStringLiteral("Calibration file %1 cannot be written (%2).").arg(fileName, ini.LastError()));
}

void TCalibrationSteps::WriteCalData(const TCalBackup& backup) {
  // Every block is sent: one the indicator refuses has said so ("Invalid Setting").
  for (const std::string& value : backup.values) Query("BCA" + value + ";", SetReply);
  AskSaveCalibration();
}

bool TCalibrationSteps::LoadCalFile(const QString& fileName) {
  const TMemIniFile ini(fileName);
  if (!ini.LoadError().isEmpty())
    Fail(QStringLiteral("Calibration file %1 cannot be read (%2).").arg(fileName, ini.LoadError()));
  const TCalBackup backup = ReadCalBackup(ini);
  for (int i = 0; i < kCalBlocks; ++i)
    if (!Sendable(backup.values[static_cast<std::size_t>(i)]))
      Fail(QStringLiteral("Calibration file %1 holds a block that cannot be sent (BCA%2).").arg(fileName).arg(i));
  for (const QString& question : RestoreQuestions(backup, Identity(), dialect_.serialNumberQuestion))
    if (Prompter().MessageDlg(question, TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes) return false;
  WriteCalData(backup);
  return true;
}

void TCalibrationSteps::btnBackupCalClick() {
  RunStep([this] {
    RequireLink();
    const QString fileName = Prompter().SaveFileName(
        host_.DialogParent(), QStringLiteral("Select filename for calibration data"), kCalFileFilter,
        QStringLiteral("cal"));
    if (!fileName.isEmpty()) SaveCalFile(fileName);
    return false;
  });
}

void TCalibrationSteps::btnRestoreCalClick() {
  RunStep([this] {
    RequireLink();
    const QString fileName = Prompter().OpenFileName(
        host_.DialogParent(), QStringLiteral("Select filename containing calibration data"), kCalFileFilter);
    return !fileName.isEmpty() && LoadCalFile(fileName);
  });
}
