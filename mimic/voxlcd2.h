#pragma once
// The instrument's segment LCD drawn over a copy of the panel picture: the
// segment state string says which segments are lit, the LCD map says where each
// segment's pixels are. The composed picture is kept between draws, so a draw
// touches only the segments whose state changed and copies only their rectangles.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <cstdint>
#include <string_view>
#include <vector>

#include "mimic/indexpixels.h"
#include "mimic/tcolor.h"
#include "mimic/voxbitmap2.h"

class TVoxLCD {
 public:
  TVoxLCD();

  // Reads the LCD map and scales it to width x height. Throws EMimicError when the
  // file cannot be used; the map, the states and the recorded size stay as they
  // were then.
  void LoadMap(int width, int height, const QString& fileName);
  // Keeps the canvas rectangle (x, y, width, height) as the picture under the LCD.
  // Height comes before width, as in Draw.
  void CaptureBackground(int x, int y, const QImage& canvas, int height, int width);
  // Composes the background and the segments and copies them onto canvas at
  // (x, y). A size other than the one last loaded re-reads the map from its file
  // first (and so may throw EMimicError). Returns the part of the canvas written,
  // the changed segments' rectangles (the box around them when many changed):
  // empty when nothing changed since the last draw onto the same canvas at the
  // same place (anyone else writing into the canvas makes the next draw copy all).
  QRegion Draw(int x, int y, QImage& canvas, int height, int width);

  // Sets one segment's state; indices outside 0..SegmentCount()-1 are ignored.
  void SetSegment(int index, std::uint8_t state);
  // Applies a segment state string: character k carries segments 4k..4k+3, most
  // significant bit first; a character that is not hexadecimal counts as 0.
  void SetSegmentsHex(std::string_view text);
  // Number of segments of the loaded map (500 before any).
  int SegmentCount() const { return Map.IndexCount; }

  // One state per segment index plus the "no segment" slot; 0 = off.
  const std::vector<std::uint8_t>& States() const { return states_; }
  // How often the map file was read, so a caller can tell a rescale from a repaint.
  int MapLoads() const { return mapLoads_; }

  TColor OnColor = 0x0000FFFF;
  TColor OffColor = clNone;

  QImage Background;
  QImage Composed;
  TVoxBitmap Map;

 private:
  // Brings Composed up to date with the states and colours; returns its changed part.
  QRegion Compose();

  std::vector<std::uint8_t> states_;
  std::vector<std::uint8_t> shown_;  // whether each segment is lit in Composed
  bool composeAll_ = true;           // Composed must be made again from Background
  TColor shownOn_ = 0;
  TColor shownOff_ = clNone;
  // The canvas picture (its cache key changes with every write) and place of the
  // last draw.
  qint64 canvasKey_ = 0;
  QPoint canvasAt_;
  TIndexPixels pixels_;
  QSize sizeCache_;
  bool loaded_ = false;
  int mapLoads_ = 0;
};
