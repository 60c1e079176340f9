#pragma once
// The serial port's trace and dispatch log: their states, sizes, files and the
// steps that start, pause, write and end them. The port derives from this part
// and tells it, through the hooks below, whether it is open and which
// dispatcher holds the trace and the log.
//
// Locking: everything here runs on the GUI thread and takes no lock of its own;
// the trace and the log guard themselves against the worker threads that add to them.
#include <QString>
#include <memory>
#include <string>

#include "serial/SerDispatcher.h"

enum TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause, tlAppendAndContinue };

class TSerComPortDiagnostics {
 public:
  TTraceLogState Tracing() const { return tracing_; }
  void SetTracing(TTraceLogState state);
  TTraceLogState Logging() const { return logging_; }
  void SetLogging(TTraceLogState state);
  unsigned TraceSize() const { return traceSize_; }
  void SetTraceSize(unsigned size);
  unsigned LogSize() const { return logSize_; }
  void SetLogSize(unsigned size);
  QString TraceName() const { return traceName_; }
  void SetTraceName(const QString& name) { traceName_ = name.left(255); }
  QString LogName() const { return logName_; }
  void SetLogName(const QString& name) { logName_ = name.left(255); }
  bool TraceHex() const { return traceHex_; }
  void SetTraceHex(bool on) { traceHex_ = on; }
  bool LogHex() const { return logHex_; }
  void SetLogHex(bool on) { logHex_ = on; }
  bool TraceAllHex() const { return traceAllHex_; }
  void SetTraceAllHex(bool on) { traceAllHex_ = on; }
  bool LogAllHex() const { return logAllHex_; }
  void SetLogAllHex(bool on) { logAllHex_ = on; }

  // The trace and the dispatch log, one step at a time, each keeping Tracing (or
  // Logging) in step; Tracing and Logging do the same through their states.
  // Nothing happens while the port closes. A trace or log that was never started
  // raises ETracingNotEnabled or ELoggingNotEnabled.
  void TraceStart(unsigned size);
  // Writes the trace to a new file (or at the end of the file) and ends it; a
  // failed write raises and keeps the trace.
  void TraceWrite(const QString& fileName);
  void TraceAppend(const QString& fileName);
  void TraceClear();
  void TraceStop();
  void TraceResume();
  void TracePause();
  void LogStart(unsigned size);
  void LogWrite(const QString& fileName);
  void LogAppend(const QString& fileName);
  void LogClear();
  void LogStop();
  void LogResume();
  void LogPause();

 protected:
  TSerComPortDiagnostics() = default;
  virtual ~TSerComPortDiagnostics() = default;

  void ApplyTrace(TTraceLogState state);
  void ApplyLog(TTraceLogState state);
  // Takes source's settings; a state that was an action comes over as off.
  void AssignDiagnostics(const TSerComPortDiagnostics& source);

  TTraceLogState tracing_ = tlOff;
  TTraceLogState logging_ = tlOff;

 private:
  // What the port tells this part.
  virtual std::shared_ptr<TSerDispatcher> Dispatcher() const = 0;
  // The dispatcher for a step on the trace or the log; null while closing, or
  // while loading without one.
  virtual std::shared_ptr<TSerDispatcher> DiagnosticsDispatcher() = 0;
  // Open, and not closing.
  virtual bool PortOpen() const = 0;
  // The port applies every setting anew as it opens, unchanged or not.
  virtual bool Reapplying() const = 0;
  // CheckException, except that while loading a negative code is returned.
  virtual int Check(int code) const = 0;
  virtual std::string DevicePath() const = 0;

  // D: TSerTrace or TSerDispatchLog, state: Tracing or Logging.
  template <class D>
  void StepDiagnostic(D& (TSerDispatcher::*diagnostic)(), void (D::*step)(), TTraceLogState& state,
                      TTraceLogState after);
  template <class D>
  void WriteDiagnostic(D& (TSerDispatcher::*diagnostic)(), const QString& fileName, bool append, bool hex,
                       bool allHex, TTraceLogState& state);

  unsigned traceSize_ = 10000;
  unsigned logSize_ = 10000;
  QString traceName_ = QStringLiteral("SERIAL.TRC");
  QString logName_ = QStringLiteral("SERIAL.LOG");
  bool traceHex_ = true;
  bool logHex_ = true;
  bool traceAllHex_ = false;
  bool logAllHex_ = false;
};
