#include "core/recovery_journal.h"

#include "core/byte_reader.h"

namespace quillan {

namespace {

constexpr uint32_t kJournalVersion = 1;
constexpr uint32_t kMaxStringElements = 1u << 20; // far beyond any entry, well below a damaged length

void AppendBE16(std::vector<uint8_t> &bytes, uint16_t value) {
  bytes.push_back(uint8_t(value >> 8));
  bytes.push_back(uint8_t(value));
}

} // namespace

std::filesystem::path JournalPath(const CTranslationDocument &doc) {
  return doc.m_baseDir / "recovery" / (doc.m_shortName + ".journal");
}

std::vector<uint8_t> JournalBytes(const CTranslationDocument &doc) {
  std::vector<uint8_t> bytes{'Q', 'J', 'N', 'L'};
  AppendBE32(bytes, kJournalVersion);
  AppendBE32(bytes, uint32_t(doc.m_scriptFileName.size()));
  bytes.insert(bytes.end(), doc.m_scriptFileName.begin(), doc.m_scriptFileName.end());
  const auto &strings = doc.EnglishStrings();
  uint32_t count = 0;
  for (const EnglishString &text : strings)
    count += text.empty() ? 0 : 1;
  AppendBE32(bytes, count);
  for (size_t index = 0; index < strings.size(); ++index) {
    const EnglishString &text = strings[index];
    if (text.empty()) continue;
    AppendBE32(bytes, uint32_t(index));
    AppendBE32(bytes, uint32_t(text.size()));
    for (uint16_t element : text)
      AppendBE16(bytes, element);
  }
  AppendBE32(bytes, uint32_t(doc.CodeBook().size()));
  for (uint16_t entry : doc.CodeBook())
    AppendBE16(bytes, entry);
  return bytes;
}

CResult<CJournal> ParseJournal(std::span<const uint8_t> bytes, std::string_view name) {
  CByteReader reader(bytes);
  size_t at = 0;
  auto fail = [&](const std::string &what) {
    return MakeError(std::string(name) + ": offset " + HexOffset(at) + ": " + what);
  };
  auto magic = reader.Slice(0, 4);
  if (!magic || std::string_view(reinterpret_cast<const char *>(magic->data()), 4) != "QJNL")
    return fail("not a recovery journal");
  at = 4;
  auto version = reader.BE32(at);
  if (!version || *version != kJournalVersion) return fail("unknown journal version");
  at += 4;
  CJournal journal;
  auto nameLength = reader.BE32(at);
  if (!nameLength) return fail("the file ends inside the header");
  at += 4;
  auto nameBytes = reader.Slice(at, *nameLength);
  if (!nameBytes) return fail("the script name runs past the end of the file");
  journal.m_scriptFileName.assign(nameBytes->begin(), nameBytes->end());
  at += *nameLength;
  auto count = reader.BE32(at);
  if (!count) return fail("the file ends before the string count");
  at += 4;
  const size_t maxStrings = size_t(kMaxPages) * kLinesPerPage;
  for (uint32_t i = 0; i < *count; ++i) {
    auto index = reader.BE32(at);
    auto length = reader.BE32(at + 4);
    if (!index || !length) return fail("the file ends inside string " + std::to_string(i));
    if (*index >= maxStrings) return fail("string index " + std::to_string(*index) + " lies past the last page");
    if (*length > kMaxStringElements) return fail("string " + std::to_string(*index) + " is too long");
    at += 8;
    auto elements = reader.Slice(at, size_t(*length) * 2);
    if (!elements) return fail("string " + std::to_string(*index) + " runs past the end of the file");
    if (*index >= journal.m_strings.size()) journal.m_strings.resize(size_t(*index) + 1);
    EnglishString &text = journal.m_strings[*index];
    text.clear();
    for (size_t e = 0; e < *length; ++e)
      text.push_back(uint16_t((*elements)[2 * e] << 8 | (*elements)[2 * e + 1]));
    at += size_t(*length) * 2;
  }
  auto bookSize = reader.BE32(at);
  if (!bookSize || *bookSize != journal.m_codeBook.size()) return fail("the code book is missing or of the wrong size");
  at += 4;
  auto book = reader.Slice(at, journal.m_codeBook.size() * 2);
  if (!book) return fail("the code book runs past the end of the file");
  for (size_t e = 0; e < journal.m_codeBook.size(); ++e)
    journal.m_codeBook[e] = uint16_t((*book)[2 * e] << 8 | (*book)[2 * e + 1]);
  return journal;
}

} // namespace quillan
