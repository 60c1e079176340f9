#pragma once
// The steps of the Calibration page: zero, span, direct mV/V, setting and clearing
// a linearisation point, and backing up and restoring the calibration blocks. Each
// step locks the window and pauses the polls, sends its fixed sequence through the
// request engine, and unlocks whatever happened. A failed check or request throws
// its message for the application's error box; zero, span, direct mV/V and a
// restore that sent its blocks then read the settings again. The main window
// supplies the link, the page's fields and the model through THost; what differs
// between indicator models comes from the dialect.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/calibration/calbackupfile.h"
#include "mainwindow/calibration/calibrationdialect.h"
#include "mainwindow/wire/replyhandlers.h"

class QWidget;

class TCalibrationSteps {
 public:
  // The page's text fields that the steps read.
  enum class TField { kSpanWeight, kLinWeight, kDirectZero, kDirectSpan };

  class THost {
   public:
    virtual ~THost() = default;
    virtual bool LinkActive() const = 0;
    // The window is going: a step ends at once, asking and sending nothing more.
    virtual bool Closing() const = 0;
    // The indicator did not answer a request and the technician has been told:
    // the step ends without a box of its own.
    virtual bool Unanswered() const = 0;
    // A request through the engine; false when no reply was accepted in time.
    virtual bool Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
                         const std::string& prefix) = 0;
    virtual TReplyContext& ReplyContext() = 0;
    // Ticks of 10 ms.
    virtual int ReplyTimeout() const = 0;
    // False when the wait was cut short.
    virtual bool DelayTicks(int ticks) = 0;
    // Ends a running streamed log ("STP;"): its weight lines would pass for replies.
    virtual void StopStreamedLog() = 0;
    // Locks (or unlocks) the window, the busy cursor and the poll thread.
    virtual void SetCalibrating(bool on) = 0;
    virtual void ShowCalSegments(const std::string& segments) = 0;
    virtual void UpdateStatusLine() = 0;
    virtual void SetInSync(bool inSync) = 0;
    virtual void ReadSettings() = 0;

    virtual std::string FieldText(TField field) const = 0;
    virtual void SetFieldText(TField field, const std::string& text) = 0;
    // The decimal-point index the page shows (weights in display counts).
    virtual int Decimals() const = 0;
    virtual char DecimalChar() const = 0;
    // The selected row of the linearisation list, or -1.
    virtual int SelectedLinPoint() const = 0;
    // Writes a direct mV/V value (x 10000) into the working model.
    virtual void StoreDirectValue(TField field, int32_t value) = 0;
    // The indicator's ID, software version and serial number from the working model.
    virtual TCalIdentity IndicatorIdentity() const = 0;
    // The working model's weigh mode.
    virtual int32_t WeighMode() const = 0;
    // Asks for an absolute mV/V value (x 10000) under prompt, offering value: the
    // value confirmed with OK, or nothing.
    virtual std::optional<int32_t> AskAbsoluteValue(const QString& prompt, int32_t value) = 0;
    virtual QWidget* DialogParent() = 0;
  };

  TCalibrationSteps(THost& host, const TCalibrationDialect& dialect) : host_(host), dialect_(dialect) {}

  void BtnZeroClick();
  void BTnSpanClick();
  void btnCalDirectClick();
  void BtnLSetClick();
  void BtnLClearClick();
  void btnBackupCalClick();
  void btnRestoreCalClick();

  // True while a step runs.
  bool Running() const { return running_; }

 private:
  template <class F>
  void RunStep(F&& body);
  void EnterCalMode();
  void RequireLink();
  bool Query(const std::string& command, const TReplyHandler& handler, const std::string& prefix = {});
  bool Request(const std::string& command, int timeoutTicks, const TReplyHandler& handler,
               const std::string& prefix = {});
  void Delay(int ticks);
  void WaitCalDone(const std::string& name);
  // Whether Zero and Span take absolute mV/V values rather than weigh.
  bool AbsolutePath() const;
  struct TAbsoluteTexts;
  // Reads the indicator's value with query, has the user confirm or change it, and
  // writes what was confirmed under mnemonic.
  void CalibrateAbsolute(const std::string& query, const std::string& mnemonic, const TAbsoluteTexts& texts);
  // Writes a mV/V value (x 10000), with the status wait the indicator wants after it.
  void WriteMv(const std::string& mnemonic, int32_t value, const char* failure);
  void AskSaveCalibration();
  int32_t WeightDigits(TField field);
  int32_t DirectValue(TField field, const char* invalidMessage);
  int SelectedPoint();
  TCalIdentity Identity() const;
  std::vector<TCalBlock> ReadCalData();
  void WriteCalData(const TCalBackup& backup);
  void SaveCalFile(const QString& fileName);
  bool LoadCalFile(const QString& fileName);

  THost& host_;
  const TCalibrationDialect& dialect_;
  bool running_ = false;
};
