#pragma once
// The segment numbering of the project's own front panels. The simulated indicator
// lights segments by these numbers and the panel generator draws them under the
// same numbers, so a "FPL?" reply lights exactly what the picture shows.
//
// A segment state string holds one hexadecimal digit per four segments: digit k
// sets segments 4k to 4k+3 from its bits 3 down to 0.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace panel {

// Annunciators follow the characters; their order is the same on both models.
enum Annunciator : int {
  kAnnZero = 0,     // centre of zero
  kAnnMotion,       // weight not steady
  kAnnNet,
  kAnnGross,
  kAnnTare,         // a tare is held
  kAnnKg,
  kAnnG,
  kAnnT,
  kAnnLb,
  kAnnRange1,
  kAnnRange2,
  kAnnHold,
  kAnnCount,
};

inline constexpr int kAnnunciatorSlots = 32;
inline constexpr int kCharacters = 6;

// Bits of a seven-segment character: a top, b upper right, c lower right, d bottom,
// e lower left, f upper left, g middle.
enum SevenSeg : std::uint8_t { kA = 1, kB = 2, kC = 4, kD = 8, kE = 16, kF = 32, kG = 64 };

// The seven-segment pattern of a displayable character; unknown ones are blank.
constexpr std::uint8_t SevenSegmentOf(char c) {
  switch (c) {
    case '0': return kA | kB | kC | kD | kE | kF;
    case '1': return kB | kC;
    case '2': return kA | kB | kD | kE | kG;
    case '3': return kA | kB | kC | kD | kG;
    case '4': return kB | kC | kF | kG;
    case '5': return kA | kC | kD | kF | kG;
    case '6': return kA | kC | kD | kE | kF | kG;
    case '7': return kA | kB | kC;
    case '8': return kA | kB | kC | kD | kE | kF | kG;
    case '9': return kA | kB | kC | kD | kF | kG;
    case '-': return kG;
    case 'A': return kA | kB | kC | kE | kF | kG;
    case 'b': return kC | kD | kE | kF | kG;
    case 'C': return kA | kD | kE | kF;
    case 'c': return kD | kE | kG;
    case 'd': return kB | kC | kD | kE | kG;
    case 'E': return kA | kD | kE | kF | kG;
    case 'F': return kA | kE | kF | kG;
    case 'H': return kB | kC | kE | kF | kG;
    case 'L': return kD | kE | kF;
    case 'n': return kC | kE | kG;
    case 'o': return kC | kD | kE | kG;
    case 'P': return kA | kB | kE | kF | kG;
    case 'r': return kE | kG;
    case 't': return kD | kE | kF | kG;
    case 'U': return kB | kC | kD | kE | kF;
    case '_': return kD;
    default: return 0;
  }
}

// One model's layout: which segment numbers draw each bar of character i.
struct Layout {
  int indicesPerChar;   // segment numbers per character
  int annunciatorBase;  // first annunciator segment
  int segments;         // total, a multiple of 4
  // Offsets within a character for each bar; a split bar has two halves.
  std::array<int, 2> a, b, c, d, e, f, g;
  int point;            // decimal point after the character
};

// The W830: six characters of 16 indices, seven-segment digits drawn with split
// bars as on a 16-segment display (2 and 6 are the halves of the middle bar), then
// 32 annunciators: 128 segments, 32 hexadecimal digits.
inline constexpr Layout kW830{16, 96, 128, {0, 1}, {3, 3}, {4, 4}, {5, 7}, {8, 8}, {9, 9}, {2, 6}, 10};

// The W840: six characters of 8 indices, a to g then the point, then 32
// annunciators: 80 segments, 20 hexadecimal digits.
inline constexpr Layout kW840{8, 48, 80, {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, 7};

// The segment numbers that character `position` lights for the seven-segment pattern.
template <typename Visit>
constexpr void ForEachLitSegment(const Layout& layout, int position, std::uint8_t pattern, Visit visit) {
  const int base = position * layout.indicesPerChar;
  const std::array<int, 2>* bars[] = {&layout.a, &layout.b, &layout.c, &layout.d,
                                      &layout.e, &layout.f, &layout.g};
  for (int bar = 0; bar < 7; ++bar) {
    if (!(pattern & (1u << bar))) continue;
    visit(base + (*bars[bar])[0]);
    if ((*bars[bar])[1] != (*bars[bar])[0]) visit(base + (*bars[bar])[1]);
  }
}

// A display state as its segment state string. `text` is right-aligned in the
// six characters; a '.' lights the point of the character before it.
// `annunciators` is a bit mask of Annunciator values.
inline std::string SegmentString(const Layout& layout, std::string_view text, std::uint32_t annunciators) {
  std::array<bool, 128> lit{};
  std::array<char, kCharacters> chars{};
  std::array<bool, kCharacters> points{};
  chars.fill(' ');
  int pos = kCharacters;
  for (auto it = text.rbegin(); it != text.rend() && pos > 0; ++it) {
    if (*it == '.') {
      points[static_cast<std::size_t>(pos - 1)] = true;
      continue;
    }
    chars[static_cast<std::size_t>(--pos)] = *it;
  }
  for (int i = 0; i < kCharacters; ++i) {
    ForEachLitSegment(layout, i, SevenSegmentOf(chars[static_cast<std::size_t>(i)]),
                      [&](int s) { lit[static_cast<std::size_t>(s)] = true; });
    if (points[static_cast<std::size_t>(i)])
      lit[static_cast<std::size_t>(i * layout.indicesPerChar + layout.point)] = true;
  }
  for (int a = 0; a < kAnnCount; ++a)
    if (annunciators & (1u << a)) lit[static_cast<std::size_t>(layout.annunciatorBase + a)] = true;
  std::string out;
  for (int digit = 0; digit < layout.segments / 4; ++digit) {
    int v = 0;
    for (int bit = 0; bit < 4; ++bit)
      if (lit[static_cast<std::size_t>(digit * 4 + bit)]) v |= 8 >> bit;
    out += "0123456789ABCDEF"[v];
  }
  return out;
}

}  // namespace panel
