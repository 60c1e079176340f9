// The port's trace and dispatch log: their states, sizes and files, and the steps
// that start, pause, write and end them.
#include "platform/exepath.h"
#include "serial/SerComPortDiagnostics.h"
#include "serial/SerErrorCodes.h"

namespace {

std::string StoredPath(const QString& name) { return ResolveStoredPath(name).toLocal8Bit().toStdString(); }

}  // namespace

void TSerComPortDiagnostics::AssignDiagnostics(const TSerComPortDiagnostics& source) {
  tracing_ = source.tracing_ > tlOn ? tlOff : source.tracing_;
  logging_ = source.logging_ > tlOn ? tlOff : source.logging_;
  traceSize_ = source.traceSize_;
  logSize_ = source.logSize_;
  traceName_ = source.traceName_;
  logName_ = source.logName_;
  traceHex_ = source.traceHex_;
  logHex_ = source.logHex_;
  traceAllHex_ = source.traceAllHex_;
  logAllHex_ = source.logAllHex_;
}

void TSerComPortDiagnostics::SetTraceSize(unsigned size) {
  traceSize_ = std::min<unsigned>(size, TSerTrace::kMaxSize);
  if (!PortOpen() || (tracing_ != tlOn && tracing_ != tlPause)) return;
  TSerTrace& trace = Dispatcher()->Trace();
  trace.Start(traceSize_);
  if (tracing_ == tlPause) trace.Pause();
}

void TSerComPortDiagnostics::SetLogSize(unsigned size) {
  logSize_ = std::min<unsigned>(size, TSerDispatchLog::kMaxSize);
  if (!PortOpen() || (logging_ != tlOn && logging_ != tlPause)) return;
  TSerDispatchLog& log = Dispatcher()->Log();
  log.Start(logSize_, DevicePath());
  if (logging_ == tlPause) log.Pause();
}

// The trace's states: on, paused, or off; the other values are actions that end in one of those.
void TSerComPortDiagnostics::ApplyTrace(TTraceLogState state) {
  TSerTrace& trace = Dispatcher()->Trace();
  const std::string file = StoredPath(traceName_);
  switch (state) {
    case tlOff: trace.Stop(); break;
    case tlOn:
      if (trace.Enabled()) trace.Resume(); else trace.Start(traceSize_);
      break;
    case tlPause: trace.Pause(); break;
    case tlClear: trace.Clear(); return;
    case tlDump:
    case tlAppend: {
      const int r = trace.Enabled() ? trace.WriteTo(file, state == tlAppend, traceHex_, traceAllHex_) : 0;
      trace.Stop();
      tracing_ = tlOff;
      Check(r);
      return;
    }
    case tlAppendAndContinue: {
      // A trace that was never started, or a failed write, leaves everything as it was.
      Check(trace.WriteTo(file, true, traceHex_, traceAllHex_));
      trace.Clear();
      trace.Resume();
      break;
    }
  }
  tracing_ = state == tlAppendAndContinue ? tlOn : state;
}

void TSerComPortDiagnostics::ApplyLog(TTraceLogState state) {
  TSerDispatchLog& log = Dispatcher()->Log();
  const std::string file = StoredPath(logName_);
  switch (state) {
    case tlOff: log.Stop(); break;
    case tlOn:
      if (log.Enabled()) log.Resume(); else log.Start(logSize_, DevicePath());
      break;
    case tlPause: log.Pause(); break;
    case tlClear: log.Clear(); return;
    case tlDump:
    case tlAppend: {
      const int r = log.Enabled() ? log.WriteTo(file, state == tlAppend, logHex_, logAllHex_) : 0;
      log.Stop();
      logging_ = tlOff;
      Check(r);
      return;
    }
    case tlAppendAndContinue: {
      Check(log.WriteTo(file, true, logHex_, logAllHex_));
      log.Clear();
      log.Resume();
      break;
    }
  }
  logging_ = state == tlAppendAndContinue ? tlOn : state;
}

void TSerComPortDiagnostics::SetTracing(TTraceLogState state) {
  if (!PortOpen()) {
    tracing_ = state > tlOn ? tlOff : state;
    return;
  }
  if (state == tracing_ && !Reapplying()) return;
  ApplyTrace(state);
}

void TSerComPortDiagnostics::SetLogging(TTraceLogState state) {
  if (!PortOpen()) {
    logging_ = state > tlOn ? tlOff : state;
    return;
  }
  if (state == logging_ && !Reapplying()) return;
  ApplyLog(state);
}

template <class D>
void TSerComPortDiagnostics::StepDiagnostic(D& (TSerDispatcher::*diagnostic)(), void (D::*step)(),
                                            TTraceLogState& state, TTraceLogState after) {
  auto d = DiagnosticsDispatcher();
  if (!d) return;
  D& diag = ((*d).*diagnostic)();
  if (Check(diag.Enabled() ? SerErr::Ok : D::kNotEnabled) < 0) return;
  (diag.*step)();
  state = after;
}

template <class D>
void TSerComPortDiagnostics::WriteDiagnostic(D& (TSerDispatcher::*diagnostic)(), const QString& fileName,
                                             bool append, bool hex, bool allHex, TTraceLogState& state) {
  auto d = DiagnosticsDispatcher();
  if (!d) return;
  D& diag = ((*d).*diagnostic)();
  if (Check(diag.WriteTo(StoredPath(fileName), append, hex, allHex)) < 0) return;
  diag.Stop();
  state = tlOff;
}

void TSerComPortDiagnostics::TraceStart(unsigned size) {
  auto d = DiagnosticsDispatcher();
  if (!d) return;
  d->Trace().Start(std::min<unsigned>(size, TSerTrace::kMaxSize));
  tracing_ = tlOn;
}

void TSerComPortDiagnostics::TraceWrite(const QString& fileName) {
  WriteDiagnostic(&TSerDispatcher::Trace, fileName, false, traceHex_, traceAllHex_, tracing_);
}

void TSerComPortDiagnostics::TraceAppend(const QString& fileName) {
  WriteDiagnostic(&TSerDispatcher::Trace, fileName, true, traceHex_, traceAllHex_, tracing_);
}

void TSerComPortDiagnostics::TraceClear() {
  StepDiagnostic(&TSerDispatcher::Trace, &TSerTrace::Clear, tracing_, tracing_);
}

void TSerComPortDiagnostics::TraceStop() {
  StepDiagnostic(&TSerDispatcher::Trace, &TSerTrace::Stop, tracing_, tlOff);
}

void TSerComPortDiagnostics::TraceResume() {
  StepDiagnostic(&TSerDispatcher::Trace, &TSerTrace::Resume, tracing_, tlOn);
}

void TSerComPortDiagnostics::TracePause() {
  StepDiagnostic(&TSerDispatcher::Trace, &TSerTrace::Pause, tracing_, tlPause);
}

void TSerComPortDiagnostics::LogStart(unsigned size) {
  auto d = DiagnosticsDispatcher();
  if (!d) return;
  d->Log().Start(std::min<unsigned>(size, TSerDispatchLog::kMaxSize), DevicePath());
  logging_ = tlOn;
}

void TSerComPortDiagnostics::LogWrite(const QString& fileName) {
  WriteDiagnostic(&TSerDispatcher::Log, fileName, false, logHex_, logAllHex_, logging_);
}

void TSerComPortDiagnostics::LogAppend(const QString& fileName) {
  WriteDiagnostic(&TSerDispatcher::Log, fileName, true, logHex_, logAllHex_, logging_);
}

void TSerComPortDiagnostics::LogClear() {
  StepDiagnostic(&TSerDispatcher::Log, &TSerDispatchLog::Clear, logging_, logging_);
}

void TSerComPortDiagnostics::LogStop() {
  StepDiagnostic(&TSerDispatcher::Log, &TSerDispatchLog::Stop, logging_, tlOff);
}

void TSerComPortDiagnostics::LogResume() {
  StepDiagnostic(&TSerDispatcher::Log, &TSerDispatchLog::Resume, logging_, tlOn);
}

void TSerComPortDiagnostics::LogPause() {
  StepDiagnostic(&TSerDispatcher::Log, &TSerDispatchLog::Pause, logging_, tlPause);
}
