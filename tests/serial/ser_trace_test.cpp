#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTest>
#include <functional>

#include "port_on_fake.h"
#include "pty_pair.h"
#include "serial/SerComPort.h"
#include "serial/SerExceptions.h"
#include "serial/SerTrace.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/temp_exe_dir.h"

TEST(SerTrace, TheTraceOfAnOpenPortIsWrittenWhenItCloses) {
  TTempExeDir exe;
  TScriptedPrompter prompter;
  TPtyPair pty;
  TSerComPort port;
  port.SetDeviceName(pty.SlavePath());
  std::string got;
  port.SetOnTriggerAvail([&](TSerComPort* cp, int count) { got += cp->GetBlock(count); });
  port.SetTracing(tlOn);
  port.SetLogging(tlOn);
  port.SetOpen(true);
  port.PutString("S98;\r");
  ASSERT_EQ(pty.Read(5), "S98;\r");
  pty.Write("OK");
  ASSERT_TRUE(QTest::qWaitFor([&] { return got == "OK"; }, 10000));
  port.SetOpen(false);
  EXPECT_EQ(port.Tracing(), tlOff);

  EXPECT_EQ(exe.Read(QStringLiteral("SERIAL.TRC")), QByteArray("Transmit: S98;[0D]\r\n\r\nReceive: OK\r\n"));
  const QByteArray log = exe.Read(QStringLiteral("SERIAL.LOG"));
  EXPECT_TRUE(log.startsWith("SERIAL v4.07\r\n")) << log.constData();
  EXPECT_TRUE(log.contains(("Device: " + pty.SlavePath()).c_str())) << log.constData();
  EXPECT_TRUE(log.contains("PutBlock")) << log.constData();
  EXPECT_TRUE(log.contains("Avail")) << log.constData();
}

TEST(SerTrace, TheRingKeepsTheLatestPairsAndBreaksLongLines) {
  TSerTrace trace;
  EXPECT_EQ(trace.WriteTo("/nonexistent/x", false, true, false), -3008);
  trace.Start(4);
  const uint8_t sent[] = {'a', 'b', 'c'};
  const uint8_t received[] = {'1', '2'};
  trace.Add('T', sent, 3);
  trace.Add('R', received, 2);
  EXPECT_EQ(trace.Text(true, false), "Transmit: bc\r\n\r\nReceive: 12\r\n");
  trace.Start(100);
  const std::string many(90, 'x');
  trace.Add('T', reinterpret_cast<const uint8_t*>(many.data()), many.size());
  const std::string text = trace.Text(false, false);
  EXPECT_EQ(text, "Transmit: " + std::string(68, 'x') + "\r\n" + std::string(22, 'x') + "\r\n");
}

TEST(SerTrace, APausedTraceTakesNothingAndAFailedWriteIsReported) {
  TSerTrace trace;
  trace.Start(10);
  trace.Pause();
  const uint8_t b = 'z';
  trace.Add('T', &b, 1);
  EXPECT_EQ(trace.Text(true, true), "");
  trace.Resume();
  trace.Add('T', &b, 1);
  EXPECT_EQ(trace.Text(true, true), "Transmit: [7A]\r\n");
  EXPECT_EQ(trace.WriteTo("/nonexistent-folder/trace.trc", false, true, true), -2);
}

using DiagnosticSteps = PortOnFake;

TEST_F(DiagnosticSteps, TheTraceIsStartedPausedWrittenAndAppendedStepByStep) {
  TTempExeDir exe;
  port.SetOpen(true);
  port.TraceStart(100);
  EXPECT_EQ(port.Tracing(), tlOn);
  port.PutString("AB");
  port.TracePause();
  EXPECT_EQ(port.Tracing(), tlPause);
  port.PutString("CD");
  port.TraceResume();
  EXPECT_EQ(port.Tracing(), tlOn);
  port.PutString("EF");
  port.TraceWrite(QStringLiteral("steps.trc"));
  EXPECT_EQ(port.Tracing(), tlOff);
  EXPECT_EQ(exe.Read(QStringLiteral("steps.trc")), QByteArray("Transmit: ABEF\r\n"));

  port.TraceStart(100);
  port.PutString("GH");
  port.TraceClear();
  EXPECT_EQ(port.Tracing(), tlOn);
  port.PutString("IJ");
  port.TraceAppend(QStringLiteral("steps.trc"));
  EXPECT_EQ(exe.Read(QStringLiteral("steps.trc")), QByteArray("Transmit: ABEF\r\nTransmit: IJ\r\n"));
}

TEST_F(DiagnosticSteps, TheLogIsPausedResumedAndWrittenStepByStep) {
  TTempExeDir exe;
  port.SetOpen(true);
  port.LogStart(10000);
  EXPECT_EQ(port.Logging(), tlOn);
  port.PutString("QQ");
  port.LogPause();
  EXPECT_EQ(port.Logging(), tlPause);
  port.PutString("XX");
  port.LogResume();
  port.PutString("ZZ");
  port.LogWrite(QStringLiteral("steps.log"));
  EXPECT_EQ(port.Logging(), tlOff);
  const QByteArray log = exe.Read(QStringLiteral("steps.log"));
  EXPECT_TRUE(log.startsWith("SERIAL v4.07\r\n")) << log.constData();
  EXPECT_TRUE(log.contains("QQ") && log.contains("ZZ")) << log.constData();
  EXPECT_FALSE(log.contains("XX")) << log.constData();
  port.LogStart(10000);
  port.LogStop();
  EXPECT_EQ(port.Logging(), tlOff);
}

// A step on a trace or log that is not running is refused; so is a step on a
// closed port that may not open itself, and a write that fails keeps the trace.
TEST_F(DiagnosticSteps, StepsWithoutATraceOrLogOrPortAreRefused) {
  TTempExeDir exe;
  port.SetOpen(true);
  const std::vector<std::pair<const char*, std::function<void()>>> traceSteps = {
      {"write", [&] { port.TraceWrite(QStringLiteral("t.trc")); }},
      {"append", [&] { port.TraceAppend(QStringLiteral("t.trc")); }},
      {"clear", [&] { port.TraceClear(); }},
      {"stop", [&] { port.TraceStop(); }},
      {"resume", [&] { port.TraceResume(); }},
      {"pause", [&] { port.TracePause(); }},
  };
  for (const auto& [name, step] : traceSteps) EXPECT_THROW(step(), ETracingNotEnabled) << name;
  const std::vector<std::pair<const char*, std::function<void()>>> logSteps = {
      {"write", [&] { port.LogWrite(QStringLiteral("t.log")); }},
      {"append", [&] { port.LogAppend(QStringLiteral("t.log")); }},
      {"clear", [&] { port.LogClear(); }},
      {"stop", [&] { port.LogStop(); }},
      {"resume", [&] { port.LogResume(); }},
      {"pause", [&] { port.LogPause(); }},
  };
  for (const auto& [name, step] : logSteps) EXPECT_THROW(step(), ELoggingNotEnabled) << name;
  EXPECT_FALSE(QFileInfo::exists(exe.Path(QStringLiteral("t.trc"))));
  EXPECT_FALSE(QFileInfo::exists(exe.Path(QStringLiteral("t.log"))));

  port.TraceStart(10);
  port.PutString("A");
  EXPECT_THROW(port.TraceWrite(QStringLiteral("/nonexistent-folder/t.trc")), EInOutError);
  EXPECT_EQ(port.Tracing(), tlOn);
  port.TraceWrite(QStringLiteral("t.trc"));
  EXPECT_EQ(exe.Read(QStringLiteral("t.trc")), QByteArray("Transmit: A\r\n"));

  port.SetOpen(false);
  port.SetAutoOpen(false);
  EXPECT_THROW(port.TraceStart(10), ECommNotOpen);
  EXPECT_THROW(port.LogStart(10), ECommNotOpen);
}

// The log keeps its newest entries within its size; entries without data count too.
TEST(SerDispatchLog, KeepsTheNewestEntriesWithinItsSize) {
  TSerDispatchLog log;
  log.Start(3 * sizeof(TLogBuffer) + 4, "/dev/x");
  for (uint32_t i = 0; i < 10; ++i) log.Add(SerLog::Line, SerLog::ModemStatus, i);
  EXPECT_EQ(log.Count(), 3u);
  const uint8_t data[] = {'a', 'b', 'c', 'd', 'e'};
  log.Add(SerLog::Dispatch, SerLog::PutBlock, 5, data, sizeof data);
  EXPECT_EQ(log.Count(), 2u);
  const std::string text = log.Text(true, false);
  EXPECT_NE(text.find("Line      Modem         00000009"), std::string::npos) << text;
  EXPECT_NE(text.find("Dispatch  PutBlock      00000005   abcde"), std::string::npos) << text;
  EXPECT_EQ(text.find("00000008"), std::string::npos) << text;
}
