#pragma once
// One index map in memory: which segment or key lies under each pixel of the
// front panel. Cells hold 0..IndexCount, IndexCount meaning "nothing here".
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

class TVoxBitmap {
 public:
  // A map larger than this many cells is refused: no panel needs it, and a
  // corrupt header must not make us allocate gigabytes.
  static constexpr std::int64_t kMaxCells = 4096 * 4096;
  // Cells are 16 bits wide, so no index count beyond this can be told apart.
  static constexpr int kMaxIndexCount = 0xFFFF;

  TVoxBitmap() = default;

  // Reads a VB2 file. Throws EMimicError naming the file when it cannot be
  // opened or its header is impossible. A file shorter than its header promises
  // leaves the missing cells at 0.
  void LoadFromFile(const QString& fileName);
  // The same from bytes already in memory; fileName only names them in errors.
  void LoadFromBytes(const char* data, std::size_t size, const QString& fileName);

  // Sizes the map; every cell becomes 0.
  void SetSize(int width, int height, int indexCount);
  // Nearest-neighbour copy of source at the new size; the first and last rows
  // and columns take the source's first and last exactly. A size below 1 gives
  // an empty map.
  void AssignScaled(const TVoxBitmap& source, int newWidth, int newHeight);

  // The cell at column x, row y; IndexCount outside the map.
  int Index(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height) return IndexCount;
    return cells_[static_cast<std::size_t>(x) * static_cast<std::size_t>(Height) + static_cast<std::size_t>(y)];
  }
  // Stores a cell; a value above IndexCount is stored as IndexCount.
  void SetCell(int x, int y, int value);

  // Column-major cells: cell (x, y) is Cells()[x * Height + y].
  const std::vector<std::uint16_t>& Cells() const { return cells_; }

  QString FileName;
  int Width = 0;
  int Height = 0;
  int IndexCount = 500;

 private:
  std::vector<std::uint16_t> cells_;
};
