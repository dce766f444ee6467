#pragma once
// Gettext PO files read and written through libgettextpo, the format's
// reference implementation: a catalog is its header and its messages, each
// with a context, the source text, the translation and the flags we use.

#include <filesystem>
#include <string>
#include <vector>

#include "core/result.h"

namespace quillan {

struct CPoMessage {
  std::string m_context; // msgctxt
  std::string m_id;      // msgid
  std::string m_str;     // msgstr
  bool m_fuzzy = false;
  // Written as a "#, " flag line of its own (tools such as translation
  // servers read their checks from there); not read back.
  std::string m_extraFlag;
};

struct CPoCatalog {
  // The header entry's fields, "Name: value" lines each ended by '\n'.
  std::string m_header;
  std::vector<CPoMessage> m_messages;
};

// The text of the PO file of a catalog, in UTF-8, as libgettextpo writes it
// (each extra flag added on its own line before the message's msgctxt).
CResult<std::string> FormatPoFile(const CPoCatalog &catalog);

// Reads a PO file: the header and every message that is neither the header
// nor obsolete, in file order. A file that libgettextpo cannot parse, or
// whose charset is not UTF-8 (or ASCII), is refused with every problem
// named with its line.
CResult<CPoCatalog> ReadPoFile(const std::filesystem::path &path);

// The value of header field name ("Language", ...); empty when missing.
std::string PoHeaderField(const std::string &header, const std::string &name);

} // namespace quillan
