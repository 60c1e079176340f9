#pragma once
// The weight log file: the chart title, the eight channel sources, then one line
// per weight sample, "time,weight" with two decimals and "." as the decimal mark,
// followed by each channel's state ("1", "0", or nothing for a channel without a
// signal). Reading never stops on bad content: it takes what each line holds.
#include <string>
#include <vector>

class TLogTraces;

void SaveLog(const TLogTraces& traces, std::vector<std::string>& lines);
// Replaces the chart's title, channel sources and samples by those of lines.
void LoadLog(TLogTraces& traces, const std::vector<std::string>& lines);
