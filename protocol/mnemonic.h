#pragma once
// A line's three-letter mnemonic as one number: the settings loaders and the file
// recogniser look up every line of a read or a file by it, and comparing numbers
// costs far less than comparing texts.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <string_view>

class TMnemonic {
 public:
  // The first three characters of a line; a shorter line has no mnemonic and gives 0.
  constexpr explicit TMnemonic(std::string_view line)
      : key_(line.size() < 3 ? 0
                             : static_cast<std::uint32_t>(static_cast<unsigned char>(line[0])) << 16 |
                                   static_cast<std::uint32_t>(static_cast<unsigned char>(line[1])) << 8 |
                                   static_cast<unsigned char>(line[2])) {}
  // A table's mnemonic as it is written there: "IDN".
  template <std::size_t N>
  constexpr TMnemonic(const char (&mnemonic)[N]) : TMnemonic(std::string_view(mnemonic, N - 1)) {}

  constexpr auto operator<=>(const TMnemonic&) const = default;

 private:
  std::uint32_t key_ = 0;
};
