#include "view/png_codec.h"

#include <png.h>

#include <cstring>
#include <memory>

namespace quillan {

namespace {

constexpr uint64_t kMaxPixels = uint64_t(1) << 24;

// Frees what libpng holds for a picture, on every way out.
struct CImageGuard {
  png_image &m_image;
  ~CImageGuard() { png_image_free(&m_image); }
};

} // namespace

std::vector<uint8_t> EncodePng(const CPixelCanvas &picture) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(picture.Width());
  image.height = png_uint_32(picture.Height());
  image.format = PNG_FORMAT_RGB;
  const png_int_32 stride = png_int_32(picture.Width()) * 3;
  const void *pixels = picture.Height() > 0 ? picture.Row(0) : nullptr;
  png_alloc_size_t size = 0;
  if (!pixels || !png_image_write_to_memory(&image, nullptr, &size, 0, pixels, stride, nullptr)) return {};
  std::vector<uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, stride, nullptr)) return {};
  bytes.resize(size);
  return bytes;
}

CResult<CPixelCanvas> DecodePng(std::span<const uint8_t> bytes) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return MakeError("not a PNG file");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  CImageGuard guard{image};
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
    return MakeError(std::string("bad PNG: ") + image.message);
  if (image.width < 1 || image.height < 1 || image.width > png_uint_32(kMaxPngSide) ||
      image.height > png_uint_32(kMaxPngSide) || uint64_t(image.width) * image.height > kMaxPixels)
    return MakeError("picture size " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                     " not supported");
  // Read with alpha, which is then dropped: the colours stay as stored,
  // never blended onto a background.
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr))
    return MakeError(std::string("bad PNG: ") + image.message);
  CPixelCanvas picture{int(image.width), int(image.height)};
  for (int y = 0; y < int(image.height); ++y) {
    const uint8_t *in = rgba.data() + size_t(y) * image.width * 4;
    uint8_t *out = picture.Row(y);
    for (size_t x = 0; x < image.width; ++x) {
      out[3 * x] = in[4 * x];
      out[3 * x + 1] = in[4 * x + 1];
      out[3 * x + 2] = in[4 * x + 2];
    }
  }
  return picture;
}

} // namespace quillan
