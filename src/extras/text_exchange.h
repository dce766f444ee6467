#pragma once
// Text between the document and other programs: the Japanese entry for the
// clipboard and the translation request, and clipboard or reply text turned
// into the game's one-byte English text.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quillan {

// The one-byte game code of a text character: itself for 0x20-0xFF (a tab
// gives a space), the
// kana of the game's table, full-width ASCII and the ideographic space as
// their ASCII forms; nothing for characters the game cannot show.
std::optional<uint8_t> GameCodeOf(char16_t c);

// The units of a text up to its first 0 unit, percent-encoded as UTF-8.
std::string PercentEncodeUtf8(std::u16string_view text);

// The translation service's host from the working folder's quillan.conf
// ("translate-host = name[:port]"); nothing when it is not set.
std::optional<std::string> TranslateHost(const std::filesystem::path &baseDir);

// Text turned into the game's one-byte English text: the elements (no
// terminator) and the characters that had no game code, in order.
struct CGameText {
  std::vector<uint16_t> m_elements;
  std::u16string m_leftOut;
};

// The one mapping of outside text (clipboard, translation reply, PO files):
// CR LF and LF give the new-line code 3 (a lone CR is dropped), a 0 unit ends
// the text, characters go through GameCodeOf, except that the Latin letters
// with accents give their base letters, typographic quotes, dashes and the
// ellipsis their ASCII forms, a voiced or semi-voiced kana gives its plain
// kana and the voicing mark, and the other characters 0x7F-0xFF (which
// would show as kana) are left out, like every character without a game
// code. A byte order mark and the zero-width space give nothing.
CGameText MapTextToGame(std::u16string_view text);

// UTF-8 to UTF-16; a malformed sequence gives one U+FFFD.
std::u16string DecodeUtf8(std::string_view bytes);

// Characters left out of a paste or reply, as a message ("... left out: X, Y"):
// each character once, at most 20 of them named.
std::string LeftOutMessage(const std::u16string &leftOut);

} // namespace quillan
