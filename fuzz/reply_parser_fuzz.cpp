#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "protocol/comms.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Tcommsobj parser;
  for (const bool hex : {false, true}) {
    for (const bool skip : {false, true}) {
      const bool ok = parser.ParseReply(text, hex, skip);
      if (parser.FieldCount() > Tcommsobj::kMaxFields || (ok && parser.FieldCount() < 1)) std::abort();
      int32_t value = 0;
      std::string field;
      for (int n = 0; n <= Tcommsobj::kMaxFields; ++n) {
        parser.GetInteger(n, value, INT32_MIN, INT32_MAX);
        parser.GetString(n, field, 0, size);
      }
    }
  }
  return 0;
}
