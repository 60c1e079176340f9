// The colours of the log's traces, held against how people see them: every two of
// the eight channels and the weight differ clearly for normal sight and as the
// three kinds of colour blindness see them (simulated, Machado et al. 2009, full
// severity), traces that lie next to each other differ most, and each is dark
// enough to show as a thin line on white screen and paper. Differences are
// CIEDE2000; about 1 is just noticeable, 10 is plain at a glance.
#include <QColor>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "mainwindow/logging/loginfo.h"
#include "platform/chart/chartmodel.h"

namespace {

using TMatrix = std::array<std::array<double, 3>, 3>;

struct TVision {
  const char* name;
  TMatrix linearRgb;
};

const TVision kVisions[] = {
    {"normal sight", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"protanopia",
     {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}}},
    {"deuteranopia",
     {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}}},
    {"tritanopia",
     {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}}},
};

struct TLab {
  double L, a, b;
};

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The colour as someone of this vision sees it, in CIELAB under D65.
TLab Seen(const QColor& colour, const TVision& vision) {
  const double rgb[3] = {Linear(colour.red()), Linear(colour.green()), Linear(colour.blue())};
  double seen[3];
  for (int i = 0; i < 3; ++i) {
    const auto& row = vision.linearRgb[static_cast<std::size_t>(i)];
    seen[i] = std::clamp(row[0] * rgb[0] + row[1] * rgb[1] + row[2] * rgb[2], 0.0, 1.0);
  }
  const double x = (0.4124564 * seen[0] + 0.3575761 * seen[1] + 0.1804375 * seen[2]) / 0.95047;
  const double y = 0.2126729 * seen[0] + 0.7151522 * seen[1] + 0.0721750 * seen[2];
  const double z = (0.0193339 * seen[0] + 0.1191920 * seen[1] + 0.9503041 * seen[2]) / 1.08883;
  auto f = [](double t) {
    constexpr double d = 6.0 / 29.0;
    return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29.0;
  };
  return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double Degrees(double radians) { return radians * 180.0 / std::numbers::pi; }
double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

double DeltaE2000(const TLab& p, const TLab& q) {
  const double cBar = (std::hypot(p.a, p.b) + std::hypot(q.a, q.b)) / 2;
  const double g = 0.5 * (1 - std::sqrt(std::pow(cBar, 7) / (std::pow(cBar, 7) + std::pow(25.0, 7))));
  const double a1 = (1 + g) * p.a, a2 = (1 + g) * q.a;
  const double c1 = std::hypot(a1, p.b), c2 = std::hypot(a2, q.b);
  auto hue = [](double b, double a) {
    const double h = Degrees(std::atan2(b, a));
    return h < 0 ? h + 360 : h;
  };
  const double h1 = hue(p.b, a1), h2 = hue(q.b, a2);
  double dh = 0;
  if (c1 * c2 != 0) {
    dh = h2 - h1;
    if (dh > 180) dh -= 360;
    if (dh < -180) dh += 360;
  }
  const double dL = q.L - p.L, dC = c2 - c1;
  const double dH = 2 * std::sqrt(c1 * c2) * std::sin(Radians(dh / 2));
  const double lBar = (p.L + q.L) / 2, cBarP = (c1 + c2) / 2;
  double hBar = h1 + h2;
  if (c1 * c2 != 0) {
    if (std::fabs(h1 - h2) <= 180) hBar = (h1 + h2) / 2;
    else hBar = h1 + h2 < 360 ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
  }
  const double t = 1 - 0.17 * std::cos(Radians(hBar - 30)) + 0.24 * std::cos(Radians(2 * hBar)) +
                   0.32 * std::cos(Radians(3 * hBar + 6)) - 0.20 * std::cos(Radians(4 * hBar - 63));
  const double dTheta = 30 * std::exp(-std::pow((hBar - 275) / 25, 2));
  const double rc = 2 * std::sqrt(std::pow(cBarP, 7) / (std::pow(cBarP, 7) + std::pow(25.0, 7)));
  const double sl = 1 + 0.015 * std::pow(lBar - 50, 2) / std::sqrt(20 + std::pow(lBar - 50, 2));
  const double sc = 1 + 0.045 * cBarP, sh = 1 + 0.015 * cBarP * t;
  const double rt = -std::sin(Radians(2 * dTheta)) * rc;
  return std::sqrt(std::pow(dL / sl, 2) + std::pow(dC / sc, 2) + std::pow(dH / sh, 2) + rt * (dC / sc) * (dH / sh));
}

TEST(DeltaE2000, AgreesWithThePublishedReferencePairs) {
  const struct {
    TLab p, q;
    double dE;
  } pairs[] = {
      {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
      {{50, -1.3802, -84.2814}, {50, 0, -82.7485}, 1.0},
      {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
      {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
  };
  for (const auto& c : pairs) EXPECT_NEAR(DeltaE2000(c.p, c.q), c.dE, 1e-4) << c.dE;
}

class ChannelColours : public ::testing::Test {
 protected:
  QColor Channel(int i) const { return chart.Series(traces.Info(i).Series()).color; }
  QColor Weight() const { return chart.Series(TLogTraces::kWeightSeries).color; }

  TChartModel chart;
  TLogTraces traces{chart};
};

TEST_F(ChannelColours, EveryTwoTracesStayApartForNormalSightAndEachColourBlindness) {
  constexpr double kApart = 10.0;
  constexpr double kNeighboursApart = 20.0;
  std::vector<QColor> traceColours{Weight()};
  for (int i = 0; i < TLogTraces::kChannels; ++i) traceColours.push_back(Channel(i));
  for (const TVision& vision : kVisions)
    for (std::size_t i = 0; i < traceColours.size(); ++i)
      for (std::size_t j = i + 1; j < traceColours.size(); ++j) {
        const double dE = DeltaE2000(Seen(traceColours[i], vision), Seen(traceColours[j], vision));
        // Index 0 is the weight; the channels lie one above the other from 1 on.
        const bool neighbours = i > 0 && j == i + 1;
        EXPECT_GE(dE, neighbours ? kNeighboursApart : kApart)
            << vision.name << ": " << traceColours[i].name().toStdString() << " and "
            << traceColours[j].name().toStdString();
      }
}

TEST_F(ChannelColours, EachChannelShowsAsAThinLineOnWhite) {
  constexpr double kLightestOnWhite = 72.0;  // CIELAB lightness; white is 100
  for (int i = 0; i < TLogTraces::kChannels; ++i)
    EXPECT_LE(Seen(Channel(i), kVisions[0]).L, kLightestOnWhite) << Channel(i).name().toStdString();
}

}  // namespace
