#include "mimic/voxbitmap2.h"

#include <QFile>
#include <algorithm>
#include <cstring>

#include "mimic/mimicerror.h"

namespace {

// Reads one little-endian 32-bit header field; a field cut short keeps its value.
void ReadHeaderField(const char* data, std::size_t size, std::size_t offset, int& field) {
  if (offset + 4 > size) return;
  const auto* b = reinterpret_cast<const unsigned char*>(data + offset);
  const std::uint32_t v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  field = static_cast<int>(v);
}

}  // namespace

void TVoxBitmap::LoadFromFile(const QString& fileName) {
  FileName = fileName;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EMimicError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
  const QByteArray bytes = file.readAll();
  LoadFromBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()), fileName);
}

void TVoxBitmap::LoadFromBytes(const char* data, std::size_t size, const QString& fileName) {
  FileName = fileName;
  int width = Width, height = Height, indexCount = IndexCount;
  ReadHeaderField(data, size, 0, width);
  ReadHeaderField(data, size, 4, height);
  ReadHeaderField(data, size, 8, indexCount);
  if (width < 1 || height < 1 || std::int64_t{width} * height > kMaxCells)
    throw EMimicError(QStringLiteral("Index map \"%1\" is not valid: its size %2 x %3 is out of range")
                          .arg(fileName).arg(width).arg(height));
  if (indexCount < 0 || indexCount > kMaxIndexCount)
    throw EMimicError(QStringLiteral("Index map \"%1\" is not valid: its index count %2 is out of range")
                          .arg(fileName).arg(indexCount));
  SetSize(width, height, indexCount);
  const std::size_t cellBytes = size > 12 ? size - 12 : 0;
  const std::size_t present = std::min(cellBytes / 2, cells_.size());
  if (present == 0) return;
  const auto* p = reinterpret_cast<const unsigned char*>(data + 12);
  const auto limit = static_cast<std::uint16_t>(IndexCount);
  for (std::size_t i = 0; i < present; ++i) {
    const auto v = static_cast<std::uint16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    cells_[i] = std::min(v, limit);
  }
}

void TVoxBitmap::SetSize(int width, int height, int indexCount) {
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  IndexCount = indexCount;
  cells_.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), 0);
}

void TVoxBitmap::SetCell(int x, int y, int value) {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  const int clamped = std::clamp(value, 0, IndexCount);
  cells_[static_cast<std::size_t>(x) * static_cast<std::size_t>(Height) + static_cast<std::size_t>(y)] =
      static_cast<std::uint16_t>(clamped);
}

void TVoxBitmap::AssignScaled(const TVoxBitmap& source, int newWidth, int newHeight) {
  SetSize(newWidth, newHeight, source.IndexCount);
  FileName = source.FileName;
  if (Width == 0 || Height == 0) return;
  if (source.Width == 0 || source.Height == 0) {
    std::fill(cells_.begin(), cells_.end(), static_cast<std::uint16_t>(IndexCount));
    return;
  }
  // The proportional source coordinate, rounded down; a one-pixel target takes
  // the source's first row or column.
  const auto sourceOf = [](int target, int sourceSize, int targetSize) {
    if (targetSize < 2) return 0;
    return static_cast<int>(std::int64_t{sourceSize - 1} * target / (targetSize - 1));
  };
  std::vector<int> sourceRow(static_cast<std::size_t>(Height));
  for (int j = 0; j < Height; ++j) sourceRow[static_cast<std::size_t>(j)] = sourceOf(j, source.Height, Height);
  const auto srcHeight = static_cast<std::size_t>(source.Height);
  for (int i = 0; i < Width; ++i) {
    const std::uint16_t* from = source.cells_.data() + static_cast<std::size_t>(sourceOf(i, source.Width, Width)) * srcHeight;
    std::uint16_t* to = cells_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(Height);
    for (int j = 0; j < Height; ++j) to[j] = from[sourceRow[static_cast<std::size_t>(j)]];
  }
}
