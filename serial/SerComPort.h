#pragma once
// The serial port component of the serial link: the line settings as properties,
// a dispatcher with its worker threads while open, received bytes announced on the
// GUI thread through OnTriggerAvail, and outgoing strings queued with PutString.
// Everything is called on the GUI thread except PutString, which any thread may
// call while the port is open.
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "serial/SerComPortDelivery.h"
#include "serial/SerComPortDiagnostics.h"
#include "serial/SerDevice.h"
#include "serial/SerDispatcher.h"

enum TDeviceLayer { dlWin32, dlWinsock };
enum TParity { pNone, pOdd, pEven, pMark, pSpace };
enum TTapiMode { tmNone, tmAuto, tmOn, tmOff };
enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };
namespace THWFlow {
constexpr int hwfUseDTR = 0x1;
constexpr int hwfUseRTS = 0x2;
constexpr int hwfRequireDSR = 0x4;
constexpr int hwfRequireCTS = 0x8;
}  // namespace THWFlow

// "COMn" names the n-th 8250 port, /dev/ttyS{n-1}.
std::string ComPortDeviceName(int comNumber);

class TSerComPort : public TSerComPortDelivery, public TSerComPortDiagnostics {
  Q_OBJECT
 public:
  enum TPortState { psClosed, psClosing, psOpen };
  // A user of the port hears of its opening, closing and close (SerMsg::PortOpened,
  // PortClosing, PortClosed).
  using TPortUser = std::function<void(TSerComPort* port, int message)>;
  using TDeviceFactory = std::function<std::unique_ptr<TSerDevice>()>;

  explicit TSerComPort(QObject* owner = nullptr);
  ~TSerComPort() override;

  // Always "v4.07": setting it changes nothing.
  QString Version() const { return QStringLiteral("v4.07"); }
  void SetVersion(const QString&) {}

  // Takes the settings, users, the first five trigger events and the port events
  // of source; this port closes, and takes an open source's triggers for its next open.
  void Assign(const TSerComPort& source);

  // Only the system's own serial devices are available; another layer is refused.
  TDeviceLayer DeviceLayer() const { return deviceLayer_; }
  void SetDeviceLayer(TDeviceLayer layer);

  // The device the port opens: DeviceName when set, else ComPortDeviceName(ComNumber).
  std::string DeviceName() const { return deviceName_; }
  void SetDeviceName(const std::string& name);
  int ComNumber() const { return comNumber_; }
  void SetComNumber(int n);
  std::string DevicePath() const override;

  int Baud() const { return baud_; }
  void SetBaud(int baud);
  TParity Parity() const { return parity_; }
  void SetParity(TParity parity);
  int DataBits() const { return dataBits_; }
  void SetDataBits(int bits);
  int StopBits() const { return stopBits_; }
  void SetStopBits(int bits);
  int InSize() const { return inSize_; }
  void SetInSize(int size) { inSize_ = size; }
  int OutSize() const { return outSize_; }
  void SetOutSize(int size) { outSize_ = size; }
  bool PromptForPort() const { return promptForPort_; }
  void SetPromptForPort(bool on) { promptForPort_ = on; }
  bool AutoOpen() const { return autoOpen_; }
  void SetAutoOpen(bool on) { autoOpen_ = on; }
  bool DTR() const { return dtr_; }
  void SetDTR(bool on);
  bool RTS() const { return rts_; }
  void SetRTS(bool on);
  int HWFlowOptions() const { return hwFlow_; }
  void SetHWFlowOptions(int options);
  TSWFlowOptions SWFlowOptions() const { return swFlow_; }
  void SetSWFlowOptions(TSWFlowOptions options);
  char XOnChar() const { return xonChar_; }
  void SetXOnChar(char c);
  char XOffChar() const { return xoffChar_; }
  void SetXOffChar(char c);
  // The input levels at which handshaking holds and resumes the far end; the
  // kernel keeps its own, so they are worked out and kept only.
  int BufferFull() const { return bufferFull_; }
  void SetBufferFull(int level);
  int BufferResume() const { return bufferResume_; }
  void SetBufferResume(int level);
  // RTS raised while sending; RTS handshaking goes off.
  bool RS485Mode() const { return rs485_; }
  void SetRS485Mode(bool on);
  bool UseMSRShadow() const { return true; }
  void SetUseMSRShadow(bool) {}
  bool UseEventWord() const { return useEventWord_; }
  void SetUseEventWord(bool on) { useEventWord_ = on; }
  int CommNotificationLevel() const { return commNotificationLevel_; }
  void SetCommNotificationLevel(int level) { commNotificationLevel_ = level; }
  // tmOn opens through a telephony line's handle, which this system never has.
  TTapiMode TapiMode() const { return tapiMode_; }
  void SetTapiMode(TTapiMode mode) { tapiMode_ = mode; }

  bool Open() const { return open_; }
  // While loading, Open only stores its value.
  void SetOpen(bool open);
  TPortState State() const { return state_; }

  // Settings given one after another, as when a form restores the port: until
  // Loaded, SetOpen(true) is only remembered, nothing opens by itself, and failures
  // come back as negative codes instead of exceptions.
  void BeginLoading() { loading_ = true; }
  // A port loaded as open opens now; a failure to open is shown in the
  // application's error box and leaves the port closed.
  void Loaded();

  // Queues all of s or raises EOutputBufferTooSmall; never waits for the writer.
  void PutString(const std::string& s);
  // Inside OnTriggerAvail the k-th call gives the k-th announced byte.
  char GetChar();
  // count bytes at once, as count GetChar calls would give them; EGetBlockFail when fewer are there.
  std::string GetBlock(int count);
  int InBuffUsed();
  int OutBuffUsed();
  // The pending line error (SerDispatcher::LineError) and break, each cleared by its query.
  int LineError();
  bool LineBreak();
  // The modem lines and their changes since the last call (SerDispatcher::ModemStatus).
  int ModemStatus();
  // Lets the driver's threads run.
  void ProcessComm();

  int RegisterUser(TPortUser user);
  void DeregisterUser(int id);

  TNotifyEvent OnPortOpen;
  TNotifyEvent OnPortClose;

  // Tests put a device of their own under the port.
  void SetDeviceFactory(TDeviceFactory factory) { deviceFactory_ = std::move(factory); }

 private:
  std::shared_ptr<TSerDispatcher> Dispatcher() const override;
  std::shared_ptr<TSerDispatcher> GetDispatcher();
  // Null only while loading, which does not raise.
  std::shared_ptr<TSerDispatcher> RequireDispatcher() override;
  int Check(int code) const override;
  std::shared_ptr<TSerDispatcher> DiagnosticsDispatcher() override;
  bool PortOpen() const override { return state_ == psOpen; }
  bool Reapplying() const override { return force_; }
  void FinishCloseAfterDelivery() override;
  TSerComPort& Port() override { return *this; }
  std::pair<int, bool> TakeLineError() override {
    const int error = LineError();
    return {error, LineBreak()};
  }
  void CloseAfterFault() override { SetOpen(false); }
  void ValidateComNumber();
  void InitPort();
  void DonePort();
  void FinishClose();
  void OpenIfPending();
  void Reopen();
  void ApplyLine();
  void ApplyFlow();
  void Notify(int message);

  std::string deviceName_;
  int comNumber_ = 0;
  int baud_ = 19200;
  TParity parity_ = pNone;
  int dataBits_ = 8;
  int stopBits_ = 1;
  int inSize_ = 4096;
  int outSize_ = 4096;
  bool promptForPort_ = true;
  bool autoOpen_ = true;
  bool dtr_ = true;
  bool rts_ = true;
  int hwFlow_ = 0;
  TSWFlowOptions swFlow_ = swfNone;
  char xonChar_ = 17;
  char xoffChar_ = 19;
  TDeviceLayer deviceLayer_ = dlWin32;
  int bufferFull_ = 0;
  int bufferResume_ = 0;
  bool rs485_ = false;
  bool useEventWord_ = true;
  int commNotificationLevel_ = 10;
  TTapiMode tapiMode_ = tmAuto;

  std::atomic<bool> open_{false};
  std::atomic<TPortState> state_{psClosed};
  bool force_ = false;
  bool loading_ = false;
  bool openAfterLoad_ = false;
  bool openPending_ = false;
  // A close asked inside a delivery finishes when the delivery ends.
  bool closeAfterDelivery_ = false;
  int availThreshold_ = 1;
  // Raises the priority of the port's threads; kept and handed to each dispatcher.
  int threadBoost_ = 0;
  std::optional<TTriggerSet> savedTriggers_;
  std::vector<std::pair<int, TPortUser>> users_;
  int nextUser_ = 1;
  mutable std::mutex dispatcherLock_;
  std::shared_ptr<TSerDispatcher> dispatcher_;
  TDeviceFactory deviceFactory_;
};
