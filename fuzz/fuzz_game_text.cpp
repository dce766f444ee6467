// Arbitrary codes as a game text (pairs of bytes, big-endian): the measures
// of the checks stay inside the text and agree with each other, and a plain
// search finds every piece of an entry's dump text in it, in either case.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/text_rules.h"
#include "workbench/game_text.h"
#include "workbench/project_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  std::vector<uint16_t> codes;
  for (size_t i = 0; i + 1 < size; i += 2)
    codes.push_back(uint16_t(data[i] << 8 | data[i + 1]));
  std::span<const uint16_t> body = JapaneseBody(codes);
  if (body.size() > codes.size()) std::abort();

  for (size_t i = 0; i < body.size(); ++i)
    if (i + 1 + size_t(ArgumentCount(body, i)) > body.size()) std::abort();
  uint16_t ending = EndingCode(body);
  if (ending > 4 || (ending && body.back() != ending)) std::abort();
  for (const CPlaceholder &p : Placeholders(body))
    if (p.m_code < 0x10 || p.m_code > 0x1F || (p.m_name && p.m_code != 0x11) || p.m_name > 40) std::abort();
  CTextShape shape = MeasureText(body);
  CTextExtent extent = MeasureExtent(body);
  if (shape.MaxColumns() != extent.m_columns || shape.MaxLines() != extent.m_lines) std::abort();
  if (size_t(extent.m_columns) > body.size()) std::abort();

  std::string dump = DumpText(body, nullptr);
  std::string folded = FoldCase(dump);
  if (folded.size() != dump.size()) std::abort();
  std::string piece = dump.substr(dump.size() / 3, 1 + dump.size() / 4);
  auto search = CProjectSearch::Compile(piece, {});
  if (!search || !search->Matches(dump) || !search->Matches(folded)) std::abort();
  return 0;
}
