#include "cdimage/disc_outputs.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/file_io.h"

namespace quillan {

std::string CueSheetText(const std::string &imageName) {
  std::string text = "FILE \"" + imageName + "\" BINARY\r\n";
  text += "  TRACK 01 MODE1/2048\r\n";
  text += "    INDEX 01 00:00:00\r\n";
  text += std::string("FILE \"") + kSilentTrackName + "\" BINARY\r\n";
  text += "  TRACK 02 AUDIO\r\n";
  text += "    PREGAP 00:02:00\r\n";
  text += "    INDEX 01 00:00:00\r\n";
  return text;
}

std::vector<uint8_t> BootAreaBytes(std::span<const uint8_t> bootFile) {
  std::vector<uint8_t> bytes(kBootAreaSize, 0xFF);
  std::copy_n(bootFile.begin(), std::min(bootFile.size(), kBootAreaSize), bytes.begin());
  return bytes;
}

CStatus StampBootArea(const std::filesystem::path &image, std::span<const uint8_t> bootFile) {
  std::error_code error;
  auto size = std::filesystem::file_size(image, error);
  if (error) return MakeError(PathText(image) + ": " + error.message());
  if (size < kBootAreaSize)
    return MakeError(PathText(image) + ": only " + std::to_string(size) + " bytes, too short for a disc image");
  auto bytes = BootAreaBytes(bootFile);
  std::FILE *file = std::fopen(image.c_str(), "r+b");
  if (!file) return MakeError(PathText(image) + ": cannot open for the boot area: " + std::strerror(errno));
  bool good = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  good = std::fflush(file) == 0 && good;
  std::string why = good ? std::string() : std::strerror(errno);
  good = std::fclose(file) == 0 && good;
  if (!good) return MakeError(PathText(image) + ": writing the boot area failed: " + (why.empty() ? "close" : why));
  return CStatus::Success();
}

CStatus WriteSilentTrack(const std::filesystem::path &path) {
  std::vector<uint8_t> silence(kSilentTrackSize, 0);
  return WriteFileAtomic(path, silence);
}

} // namespace quillan
