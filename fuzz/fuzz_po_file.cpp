// Arbitrary bytes as a PO file: read through libgettextpo, and each message's
// msgstr taken as English text in the dump form. Neither may crash; what is
// read must write again, and text that parses must come back from its own
// dump form unchanged.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/text_rules.h"
#include "workbench/po_exchange.h"
#include "workbench/po_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace quillan;
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("quillan-fuzz-po-" + std::to_string(getpid()) + ".po")).string();
  if (std::FILE *file = std::fopen(path.c_str(), "wb")) {
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  auto catalog = ReadPoFile(path);
  std::remove(path.c_str());
  if (!catalog) return 0;
  for (const CPoMessage &m : catalog->m_messages) {
    CEnglishParse parsed = ParseEnglishDumpText(m.m_str);
    if (!parsed.m_error.empty()) continue;
    std::vector<uint16_t> text = parsed.m_elements;
    text.push_back(0);
    CEnglishParse again = ParseEnglishDumpText(DumpText(text, nullptr));
    if (!again.m_error.empty()) std::abort();
  }
  auto written = FormatPoFile(*catalog);
  (void)written;
  return 0;
}
