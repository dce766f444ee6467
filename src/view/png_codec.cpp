#include "view/png_codec.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "core/byte_reader.h"

namespace quillan {

namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint64_t kMaxPixels = uint64_t(1) << 24;

void PutChunk(std::vector<uint8_t> &out, const char *type, std::span<const uint8_t> data) {
  AppendBE32(out, uint32_t(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
  AppendBE32(out, uint32_t(crc));
}

uint8_t Paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return uint8_t(a);
  if (pb <= pc) return uint8_t(b);
  return uint8_t(c);
}

// The prediction of filter type f for byte i of a row, from the bytes to its
// left and above (those of the row as it stands: unfiltered ones when undoing).
int Predictor(int f, const uint8_t *row, const uint8_t *prior, size_t i, size_t bpp) {
  int a = i >= bpp ? row[i - bpp] : 0;
  int b = prior ? prior[i] : 0;
  int c = prior && i >= bpp ? prior[i - bpp] : 0;
  switch (f) {
  case 1:
    return a;
  case 2:
    return b;
  case 3:
    return (a + b) / 2;
  case 4:
    return Paeth(a, b, c);
  default:
    return 0;
  }
}

// Filters one row with filter type f; bpp bytes a pixel.
void FilterRow(int f, const uint8_t *row, const uint8_t *prior, size_t n, size_t bpp, uint8_t *out) {
  for (size_t i = 0; i < n; ++i) {
    int predictor = Predictor(f, row, prior, i, bpp);
    out[i] = uint8_t(row[i] - predictor);
  }
}

// Undoes filter type f in place; false for an unknown filter type.
bool UnfilterRow(int f, uint8_t *row, const uint8_t *prior, size_t n, size_t bpp) {
  if (f < 0 || f > 4) return false;
  for (size_t i = 0; i < n; ++i) {
    int predictor = Predictor(f, row, prior, i, bpp);
    row[i] = uint8_t(row[i] + predictor);
  }
  return true;
}

// Inflates a zlib stream that must give exactly expected bytes.
CResult<std::vector<uint8_t>> Inflate(std::span<const uint8_t> data, size_t expected) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return MakeError("cannot start decompression");
  std::vector<uint8_t> out;
  out.reserve(std::min<size_t>(expected, size_t(1) << 22));
  std::array<uint8_t, 65536> chunk;
  stream.next_in = const_cast<Bytef *>(data.data());
  stream.avail_in = uInt(data.size());
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = chunk.data();
    stream.avail_out = uInt(chunk.size());
    status = inflate(&stream, Z_NO_FLUSH);
    size_t got = chunk.size() - stream.avail_out;
    if (out.size() + got > expected) {
      inflateEnd(&stream);
      return MakeError("image data longer than the picture");
    }
    out.insert(out.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(got));
    if (status == Z_BUF_ERROR && stream.avail_in == 0) break;
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END && status != Z_BUF_ERROR) return MakeError("corrupt image data");
  if (out.size() != expected || status != Z_STREAM_END) return MakeError("image data shorter than the picture");
  return out;
}

} // namespace

std::vector<uint8_t> EncodePng(const CPixelCanvas &picture) {
  const int width = picture.Width(), height = picture.Height();
  const size_t rowBytes = size_t(width) * 3;
  std::vector<uint8_t> raw;
  raw.reserve(size_t(height) * (rowBytes + 1));
  std::vector<uint8_t> trial(rowBytes), best(rowBytes);
  for (int y = 0; y < height; ++y) {
    const uint8_t *row = picture.Row(y);
    const uint8_t *prior = y > 0 ? picture.Row(y - 1) : nullptr;
    // The filter with the smallest sum of residuals, the usual heuristic.
    uint64_t bestScore = UINT64_MAX;
    int bestFilter = 0;
    for (int f = 0; f <= 4; ++f) {
      FilterRow(f, row, prior, rowBytes, 3, trial.data());
      uint64_t score = 0;
      for (uint8_t v : trial)
        score += v < 128 ? v : 256 - v;
      if (score < bestScore) {
        bestScore = score;
        bestFilter = f;
        best.swap(trial);
      }
    }
    raw.push_back(uint8_t(bestFilter));
    raw.insert(raw.end(), best.begin(), best.end());
  }
  uLongf packedSize = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 9);
  packed.resize(packedSize);

  std::vector<uint8_t> out(kSignature.begin(), kSignature.end());
  std::vector<uint8_t> header;
  AppendBE32(header, uint32_t(width));
  AppendBE32(header, uint32_t(height));
  header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

CResult<CPixelCanvas> DecodePng(std::span<const uint8_t> bytes) {
  if (bytes.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()))
    return MakeError("not a PNG file");
  size_t at = kSignature.size();
  uint32_t width = 0, height = 0;
  int depth = 0, colourType = -1;
  bool haveHeader = false, ended = false;
  std::vector<CRgb> palette;
  std::vector<uint8_t> data;
  CByteReader reader(bytes);
  while (!ended) {
    // A chunk: length, type, body, checksum over type and body.
    auto length = reader.BE32(at);
    auto typed = length ? reader.Slice(at + 4, size_t(*length) + 4) : std::nullopt;
    auto stored = typed ? reader.BE32(at + 8 + size_t(*length)) : std::nullopt;
    if (!stored) return MakeError("truncated chunk");
    const uint8_t *type = typed->data();
    std::span<const uint8_t> body = typed->subspan(4);
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION // lets the fuzzer past the checksums
    if (uint32_t(crc32(0, type, uInt(typed->size()))) != *stored) return MakeError("chunk checksum mismatch");
#else
    (void)stored;
#endif
    at += 12 + body.size();
    std::string name(reinterpret_cast<const char *>(type), 4);
    if (!haveHeader && name != "IHDR") return MakeError("missing IHDR chunk");
    if (name == "IHDR") {
      if (haveHeader || body.size() != 13) return MakeError("bad IHDR chunk");
      haveHeader = true;
      CByteReader header(body);
      width = *header.BE32(0);
      height = *header.BE32(4);
      depth = body[8];
      colourType = body[9];
      if (width == 0 || height == 0 || width > uint32_t(kMaxPngSide) || height > uint32_t(kMaxPngSide) ||
          uint64_t(width) * height > kMaxPixels)
        return MakeError("picture size " + std::to_string(width) + " x " + std::to_string(height) + " not supported");
      if (body[10] != 0 || body[11] != 0) return MakeError("unknown compression or filter method");
      if (body[12] != 0) return MakeError("interlaced pictures are not supported");
      bool lowDepth = depth == 1 || depth == 2 || depth == 4;
      bool valid = depth == 8
                       ? colourType == 0 || colourType == 2 || colourType == 3 || colourType == 4 || colourType == 6
                       : lowDepth && (colourType == 0 || colourType == 3);
      if (!valid)
        return MakeError("bit depth " + std::to_string(depth) + " of colour type " + std::to_string(colourType) +
                         " not supported");
    } else if (name == "PLTE") {
      if (body.size() % 3 != 0 || body.size() / 3 > 256 || body.empty()) return MakeError("bad PLTE chunk");
      palette.clear();
      for (size_t i = 0; i < body.size(); i += 3)
        palette.push_back({body[i], body[i + 1], body[i + 2]});
    } else if (name == "IDAT") {
      data.insert(data.end(), body.begin(), body.end());
    } else if (name == "IEND") {
      ended = true;
    } else if (!(type[0] & 0x20)) {
      return MakeError("unknown critical chunk " + name);
    }
  }
  if (data.empty()) return MakeError("no image data");
  if (colourType == 3 && palette.empty()) return MakeError("palette picture without a palette");

  const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
  const size_t bitsPerPixel = size_t(channels) * size_t(depth);
  const size_t rowBytes = (size_t(width) * bitsPerPixel + 7) / 8;
  const size_t bpp = std::max<size_t>(1, bitsPerPixel / 8);
  auto raw = Inflate(data, size_t(height) * (rowBytes + 1));
  if (!raw) return raw.Error();
  std::vector<uint8_t> &rows = raw.Value();

  CPixelCanvas picture{int(width), int(height)};
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t *row = &rows[size_t(y) * (rowBytes + 1)];
    const uint8_t *prior = y > 0 ? row - (rowBytes + 1) + 1 : nullptr;
    if (!UnfilterRow(row[0], row + 1, prior, rowBytes, bpp)) return MakeError("unknown row filter");
    const uint8_t *p = row + 1;
    uint8_t *out = picture.Row(int(y));
    for (uint32_t x = 0; x < width; ++x, out += 3) {
      CRgb c;
      if (depth < 8) {
        size_t bit = size_t(x) * size_t(depth);
        int value = (p[bit / 8] >> (8 - depth - int(bit % 8))) & ((1 << depth) - 1);
        if (colourType == 3) {
          if (size_t(value) >= palette.size()) return MakeError("palette index out of range");
          c = palette[size_t(value)];
        } else {
          uint8_t grey = uint8_t(value * 255 / ((1 << depth) - 1));
          c = {grey, grey, grey};
        }
      } else {
        const uint8_t *px = p + size_t(x) * size_t(channels);
        switch (colourType) {
        case 0:
        case 4:
          c = {px[0], px[0], px[0]};
          break;
        case 3:
          if (px[0] >= palette.size()) return MakeError("palette index out of range");
          c = palette[px[0]];
          break;
        default:
          c = {px[0], px[1], px[2]};
          break;
        }
      }
      out[0] = c.m_r;
      out[1] = c.m_g;
      out[2] = c.m_b;
    }
  }
  return picture;
}

} // namespace quillan
