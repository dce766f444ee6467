// libFuzzer target for the ".fxt" glyph text of the font editor: any bytes
// give 14 row bytes, the same as a plain reading of the digits would.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "extras/font_viewer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  auto rows = quillan::CFontViewerDlg::ParseFxt(std::span<const uint8_t>(data, size));
  std::string digits;
  for (size_t i = 0; i < size && digits.size() < 112; ++i)
    if (data[i] == '0' || data[i] == '1') digits += char(data[i]);
  digits.resize(112, '0');
  for (size_t row = 0; row < rows.size(); ++row)
    if (rows[row] != uint8_t(std::stoul(digits.substr(row * 8, 8), nullptr, 2))) std::abort();
  return 0;
}
