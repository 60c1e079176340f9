#include <gtest/gtest.h>

#include <QTest>

#include "pty_pair.h"
#include "serial/SerComPort.h"
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
