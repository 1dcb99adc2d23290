// Feeds arbitrary bytes to the configuration reader: it must accept or reject them without
// crashing, and whatever it accepts must survive a write and a second read unchanged.
//
// The first input byte chooses how the rest is used: even, as a whole file; odd, laid over a
// well-formed image (the blocks first, anything past them replacing the strings), so that the
// fuzzer reaches the string reader and the load checks without first guessing the exact length.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace sonalog;
  if (size == 0) return 0;
  const bool overlay = data[0] & 1;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string bytes;
  if (overlay) {
    static const std::string base = encodeSettings(Settings());
    bytes = base;
    bytes.replace(0, std::min(input.size(), kFixedSize), input.substr(0, kFixedSize));
    if (input.size() > kFixedSize) bytes.replace(kFixedSize, std::string::npos, input.substr(kFixedSize));
  } else {
    bytes.assign(input);
  }

  Settings s;
  if (!decodeSettings(bytes, s)) return 0;
  applyLoadChecks(s);
  const std::string image = encodeSettings(s);
  Settings again;
  if (!decodeSettings(image, again)) std::abort();
  applyLoadChecks(again);
  if (!(again == s)) std::abort();
  return 0;
}
