#include "mainwindow/logging/loginfo.h"

#include <utility>

#include "platform/chart/chartmodel.h"

const std::array<TLogSignal, kLogSignalCount> LogSignalNames{{
    {"None", 0, 0, false, false},
    {"Motion", 0x0002, 0, false, true},
    {"Zero", 0x0100, 0, false, false},
    {"I/O 1", 0x0010, 0x01, true, false},
    {"I/O 2", 0x0020, 0x02, true, false},
    {"I/O 3", 0x0040, 0x04, true, false},
    {"I/O 4", 0x0080, 0x08, true, false},
    {"I/O 5", 0, 0x10, true, false},
    {"I/O 6", 0, 0x20, true, false},
    {"I/O 7", 0, 0x40, true, false},
    {"I/O 8", 0, 0x80, true, false},
}};

namespace {

// Eight colours that stay apart from each other and from the red weight for normal
// sight and the three kinds of colour blindness, dark enough for a thin line on white
// paper and screen: blue, orange, grey, sky blue, brown, reddish purple, black and
// bluish green. Neighbouring traces differ most.
const QColor kChannelColours[TLogTraces::kChannels] = {
    QColor(0x00, 0x72, 0xB2), QColor(0xE6, 0x9F, 0x00), QColor(0x55, 0x55, 0x55), QColor(0x56, 0xB4, 0xE9),
    QColor(0x55, 0x22, 0x00), QColor(0xCC, 0x79, 0xA7), QColor(0x00, 0x00, 0x00), QColor(0x00, 0x9E, 0x73),
};

// The traces lie one above the other, a unit and a half apart.
double ChannelBaseline(int channel) { return 1 + 1.5 * channel; }

TLoggingInfo AddChannel(TChartModel& chart, int channel) {
  TChartSeries s;
  s.kind = TChartSeries::Stairs;
  s.channel = channel;
  s.title = QStringLiteral("SeriesDig%1").arg(channel + 1);
  s.color = kChannelColours[channel];
  s.lowLevel = ChannelBaseline(channel);
  s.highLevel = s.lowLevel + 1;
  return TLoggingInfo(chart, chart.AddSeries(s), channel, ChannelBaseline(channel));
}

template <std::size_t... I>
std::array<TLoggingInfo, TLogTraces::kChannels> AddTraces(TChartModel& chart, std::index_sequence<I...>) {
  TChartSeries weight;
  weight.title = QStringLiteral("SeriesWeight");
  weight.color = Qt::red;
  chart.AddSeries(weight);
  return {AddChannel(chart, static_cast<int>(I))...};
}

}  // namespace

TLoggingInfo::TLoggingInfo(TChartModel& chart, int series, int channel, double baseline)
    : chart_(chart), series_(series), channel_(channel), baseline_(baseline) {}

void TLoggingInfo::SetSource(int index) {
  if (index >= 0 && index < kLogSignalCount) source_ = index;
  UpdateSeries();
}

void TLoggingInfo::UpdateSeries() {
  chart_.SetSeriesTitle(series_, source_ != 0,
                        QString::fromLatin1(LogSignalNames[static_cast<std::size_t>(source_)].name));
}

void TLoggingInfo::AddPoint(bool on, TSamplePoints& sample) const {
  if (source_ == 0) return;
  const auto bit = static_cast<uint8_t>(1u << channel_);
  sample.present |= bit;
  if (on) sample.bits |= bit;
}

void TLoggingInfo::AddStatus(bool useWordB, int32_t wordA, int32_t wordB, TSamplePoints& sample) const {
  if (source_ == 0) return;
  const TLogSignal& signal = LogSignalNames[static_cast<std::size_t>(source_)];
  const bool bit = useWordB && signal.usesWordB ? (wordB & signal.maskB) != 0 : (wordA & signal.maskA) != 0;
  AddPoint(bit != signal.inverted, sample);
}

double TLoggingInfo::PointValue(std::size_t n) const { return chart_.ChannelValue(series_, n); }

bool TLoggingInfo::IsHigh(std::size_t n) const {
  return chart_.Data().HasChannel(n, channel_) && chart_.Data().ChannelHigh(n, channel_);
}

TLogTraces::TLogTraces(TChartModel& chart)
    : chart_(chart), infos_(AddTraces(chart, std::make_index_sequence<kChannels>{})) {}

void TLogTraces::SetWeightTitle() { chart_.SetSeriesTitle(kWeightSeries, true, QStringLiteral("Weight")); }
