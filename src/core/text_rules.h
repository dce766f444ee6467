#pragma once
// The text view of game codes: which character a one-byte code is, and the
// Japanese entry as text (for the clipboard, the translation request and the
// dump), with the voicing marks joined to the kana before them.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/constants.h"

namespace quillan {

using KanjiCodeBook = std::array<uint16_t, kKanjiCodeBookSize>;

// The text character of one-byte code v; previous is what the call before
// returned for the same text (0 at its start). 0xDE and 0xDF give the voiced
// and semi-voiced form of the previous character.
char16_t OneByteToText(uint16_t v, char16_t previous);

// The entry (at most 600 codes, up to its terminator) as text: one-byte codes
// through OneByteToText (a voicing mark replaces the character before it),
// control codes 0x01-0x1F leave nothing, kanji give their code book entry,
// codes of 0x800 and above give a 0 character.
std::u16string JapaneseEntryText(std::span<const uint16_t> entry, const KanjiCodeBook &codeBook);

// The dump form of an entry or an English string (up to its terminator or
// the end of the span), in UTF-8: one-byte codes as OneByteToText reads them
// (a voicing mark joined to the kana before it), kanji as the code book's
// character or {kXXXX} while it has none (always so without a book), control
// codes 01-1f as {XX}, codes of 0x800 and above that do not end the entry as
// {XXXX}, and '{' itself as {7b}. quillan-cli dump, search and the PO files
// all show text this way.
void AppendDumpText(std::string &out, std::span<const uint16_t> entry, const KanjiCodeBook *book);
std::string DumpText(std::span<const uint16_t> entry, const KanjiCodeBook *book);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8(std::u16string_view text);
void AppendUtf8(std::string &out, char32_t c);

} // namespace quillan
