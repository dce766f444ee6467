#pragma once
// The files Make CD writes besides the image: the boot area stamped over the
// image's system area, the silent audio track and the cue sheet that binds
// data track and audio track into one two-track disc.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace quillan {

// The system area at the start of an ISO 9660 image: 16 sectors of 2048 bytes.
inline constexpr size_t kBootAreaSize = 32768;
// The silent second track: 0x200000 zero bytes.
inline constexpr size_t kSilentTrackSize = 2097152;

inline constexpr const char *kImageName = "TK7.ISO";
inline constexpr const char *kSilentTrackName = "TK7Track2.bin";
inline constexpr const char *kCueSheetName = "TK7.CUE";

// The cue sheet for the image of that name (as it appears in the first
// line), with CR LF line ends.
std::string CueSheetText(const std::string &imageName);

// The 32768 bytes stamped over the image: the boot area file's first bytes,
// 0xFF past the end of a shorter file.
std::vector<uint8_t> BootAreaBytes(std::span<const uint8_t> bootFile);

// Writes the boot area over the first 32768 bytes of the image in place.
// The image must already be at least that long.
CStatus StampBootArea(const std::filesystem::path &image, std::span<const uint8_t> bootFile);

// Writes the silent audio track (atomically).
CStatus WriteSilentTrack(const std::filesystem::path &path);

} // namespace quillan
