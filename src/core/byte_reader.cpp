#include "core/byte_reader.h"

#include <cstdio>

namespace quillan {

std::string HexOffset(uint64_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%06llx", static_cast<unsigned long long>(value));
  return text;
}

} // namespace quillan
