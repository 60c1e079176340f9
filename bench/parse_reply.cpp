// Reply parsing runs on every display poll and every settings reply.
#include <benchmark/benchmark.h>

#include <string>

#include "protocol/comms.h"

namespace {

void Parse(benchmark::State& state, const std::string& line, bool skipMnemonic) {
  Tcommsobj parser;
  for (auto _ : state) benchmark::DoNotOptimize(parser.ParseReply(line, false, skipMnemonic));
  state.SetItemsProcessed(state.iterations());
  state.SetLabel("lines");
}

void BM_PollReply(benchmark::State& state) { Parse(state, "22002200220022002200220000000000", false); }
void BM_SettingsReply(benchmark::State& state) { Parse(state, "QAF12,5,24,\"Plant 7 line 2\"", true); }
// The longest segment state the display sends: digits and hexadecimal letters mixed,
// read in decimal as the display poll does, so the accumulator wraps many times.
void BM_LongSegmentString(benchmark::State& state) {
  std::string segments;
  while (segments.size() < 100) segments += "2200F3A09B";
  Parse(state, segments, false);
}

}  // namespace

BENCHMARK(BM_PollReply);
BENCHMARK(BM_SettingsReply);
BENCHMARK(BM_LongSegmentString);
BENCHMARK_MAIN();
