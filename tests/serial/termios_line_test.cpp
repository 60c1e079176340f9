#include <gtest/gtest.h>

#include "serial/TermiosLine.h"

namespace {

termios2 Cooked() {
  termios2 t{};
  t.c_iflag = ICRNL | IXON | BRKINT;
  t.c_oflag = OPOST | ONLCR;
  t.c_lflag = ECHO | ICANON | ISIG | IEXTEN;
  t.c_cflag = B38400 | CS8 | CREAD | HUPCL;
  return t;
}

}  // namespace

TEST(BuildTermios, FramingParityAndFlowControlTakeTheirFlags) {
  struct Case {
    const char* what;
    TSerLineState line;
    tcflag_t cflagSet, cflagClear, iflagSet, iflagClear;
  };
  TSerLineState base;
  auto with = [&](auto change) {
    TSerLineState s = base;
    change(s);
    return s;
  };
  const Case cases[] = {
      {"8N1", base, CS8, PARENB | CSTOPB | CRTSCTS, 0, IXON | IXOFF},
      {"7E2", with([](auto& s) { s.ByteSize = 7; s.Parity = 2; s.StopBits = 2; }), CS7 | PARENB | CSTOPB, PARODD | CMSPAR, 0, 0},
      {"odd", with([](auto& s) { s.Parity = 1; }), CS8 | PARENB | PARODD, CMSPAR, 0, 0},
      {"mark", with([](auto& s) { s.Parity = 3; }), CS8 | PARENB | PARODD | CMSPAR, 0, 0, 0},
      {"space", with([](auto& s) { s.Parity = 4; }), CS8 | PARENB | CMSPAR, PARODD, 0, 0},
      {"5 data bits, 1.5 stop", with([](auto& s) { s.ByteSize = 5; s.StopBits = 1; }), CS5 | CSTOPB, 0, 0, 0},
      {"6 data bits", with([](auto& s) { s.ByteSize = 6; }), CS6, 0, 0, 0},
      {"hardware flow", with([](auto& s) { s.OutxCtsFlow = true; }), CS8 | CRTSCTS, 0, 0, IXON | IXOFF},
      {"xon/xoff out", with([](auto& s) { s.OutX = true; }), CS8, CRTSCTS, IXON, IXOFF},
      {"xon/xoff in", with([](auto& s) { s.InX = true; }), CS8, CRTSCTS, IXOFF, IXON},
  };
  for (const Case& c : cases) {
    const termios2 t = BuildTermios(Cooked(), c.line);
    EXPECT_EQ(t.c_cflag & CSIZE, c.cflagSet & CSIZE) << c.what;
    EXPECT_EQ(t.c_cflag & (c.cflagSet & ~CSIZE), c.cflagSet & ~CSIZE) << c.what;
    EXPECT_EQ(t.c_cflag & c.cflagClear, 0u) << c.what;
    EXPECT_EQ(t.c_iflag & c.iflagSet, c.iflagSet) << c.what;
    EXPECT_EQ(t.c_iflag & c.iflagClear, 0u) << c.what;
    EXPECT_EQ(LineStateOf(t), c.line) << c.what;
  }
}

TEST(BuildTermios, RawModeWithReceiverOnAndModemControlIgnored) {
  const termios2 t = BuildTermios(Cooked(), TSerLineState{});
  EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | BRKINT), 0u);
  EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t(CREAD | CLOCAL));
  EXPECT_EQ(t.c_cflag & HUPCL, tcflag_t(HUPCL));  // what the line state does not decide stays
  EXPECT_EQ(t.c_cc[VMIN], 1);
  EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST(BuildTermios, StandardRatesUseTheirConstantAndOthersBother) {
  struct Case {
    int baud;
    tcflag_t speed;
  } cases[] = {{9600, B9600}, {115200, B115200}, {110, B110}, {250000, BOTHER}, {14400, BOTHER}, {56000, BOTHER}};
  for (const auto& c : cases) {
    TSerLineState s;
    s.Baud = c.baud;
    const termios2 t = BuildTermios(Cooked(), s);
    EXPECT_EQ(t.c_cflag & CBAUD, c.speed) << c.baud;
    EXPECT_EQ(t.c_cflag & (CBAUD << IBSHIFT), 0u) << c.baud;
    EXPECT_EQ(t.c_ospeed, static_cast<speed_t>(c.baud));
    EXPECT_EQ(t.c_ispeed, static_cast<speed_t>(c.baud));
  }
}

// Marks leave the data; a mark the read cut off waits for the next read.
TEST(UnmarkInput, MarksLeaveTheDataWhereverAReadEnds) {
  struct Case {
    std::vector<std::string> reads;
    TInputFilter filter;
    std::string kept;
  } cases[] = {
      {{"a\xFF\xFF" "b"}, {true, false, false, 0}, "a\xFF" "b"},
      {{std::string("a\xFF\0X", 4)}, {true, false, false, 0}, "aX"},
      {{std::string("a\xFF\0\0b", 5)}, {true, false, false, 0}, "ab"},
      {{std::string("a\xFF\0X", 4)}, {true, false, true, '?'}, "a?"},
      {{"a\xFF", "\xFF" "b"}, {true, false, false, 0}, "a\xFF" "b"},
      {{std::string("a\xFF\0", 3), "Xb"}, {true, false, false, 0}, "aXb"},
      {{std::string("a\0b\xFF", 4)}, {false, true, false, 0}, "ab\xFF"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> carry;
    std::string kept;
    for (const std::string& read : c.reads) {
      std::vector<uint8_t> buffer(carry);
      carry.clear();
      buffer.insert(buffer.end(), read.begin(), read.end());
      buffer.resize(UnmarkInput(buffer.data(), buffer.size(), c.filter, carry));
      kept.append(buffer.begin(), buffer.end());
    }
    EXPECT_EQ(kept, c.kept) << c.reads[0];
    EXPECT_TRUE(carry.empty());
  }
}

TEST(LineStateOf, AnInputThatIsNotRawIsSeenAsSuch) {
  termios2 t = BuildTermios(Cooked(), TSerLineState{});
  EXPECT_TRUE(LineStateOf(t).Raw);
  EXPECT_FALSE(LineStateOf(Cooked()).Raw);
  TSerLineState checked;
  checked.CheckParity = true;
  EXPECT_TRUE(LineStateOf(BuildTermios(Cooked(), checked)).CheckParity);
}
