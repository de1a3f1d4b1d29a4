// The code page conversions: every byte string survives the trip through UTF-8,
// and any byte string read as UTF-8 gives at most one byte per input byte.
#include <string>

#include "fuzz_input.h"
#include "platform/cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string utf8 = utf8FromCp1251(bytes);
  FUZZ_CHECK(cp1251FromUtf8(utf8) == bytes);

  const std::string fromUtf8 = cp1251FromUtf8(bytes);
  FUZZ_CHECK(fromUtf8.size() <= bytes.size());
  FUZZ_CHECK(cp1251FromUtf8(utf8FromCp1251(fromUtf8)) == fromUtf8);
  return 0;
}
