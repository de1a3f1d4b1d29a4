// An import reader of vorsanit-convert on any bytes: it never crashes, every
// question it keeps fits a course, and the course files made of them load.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert/formats.h"
#include "import_property.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  return checkImport(readMoodleXml(bytes, "input", "input"));
}
