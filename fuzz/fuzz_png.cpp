// libFuzzer target for the PNG reader: any bytes give a picture or an error,
// never a read outside the input or an unbounded allocation; what it reads
// survives a write and a second read unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "view/png_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  auto picture = quillan::DecodePng(std::span<const uint8_t>(data, size));
  if (!picture) return 0;
  if (picture->Width() < 1 || picture->Height() < 1 || picture->Width() > quillan::kMaxPngSide ||
      picture->Height() > quillan::kMaxPngSide)
    std::abort();
  auto again = quillan::DecodePng(quillan::EncodePng(*picture));
  if (!again || !(*again == *picture)) std::abort();
  return 0;
}
