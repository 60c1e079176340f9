#pragma once
// Draws the chart into any rectangle of any paint device: the widget's cached
// picture and the printed page share this one routine. Long logs are reduced to
// one vertical stroke per pixel column (its smallest and largest value), found
// through the columns' range summaries, so the cost follows the width drawn and
// not the number of samples.
#include <QRect>
#include <vector>

class QPainter;
class TChartModel;
struct TChartAxis;

// Draws model into target; returns the plot rectangle (inside the axes). With a
// strip, only the part of the plot inside it is drawn, over a picture of the same
// chart drawn before with fewer samples (new samples change nothing else).
QRect PaintChart(QPainter& painter, const QRect& target, const TChartModel& model, const QRect& strip = QRect());

// The label positions of an axis drawn over `pixels` with labels at least
// minSpacing pixels apart: multiples of its increment, or where those would crowd
// (or it has none) of the smallest step of one, two or five times a power of ten
// that fits; never more than a thousand.
std::vector<double> AxisTicks(const TChartAxis& axis, double pixels, double minSpacing);
