#include "app/canvas_image.h"

#include <cstring>
#include <string>

namespace quillan {

QImage ImageFromCanvas(const CPixelCanvas &canvas) {
  QImage image(canvas.Width(), canvas.Height(), QImage::Format_RGB888);
  // Qt pads each row to 4 bytes: copy row by row.
  for (int y = 0; y < canvas.Height(); ++y)
    std::memcpy(image.scanLine(y), canvas.Row(y), size_t(canvas.Width()) * 3);
  return image;
}

CPixelCanvas CanvasFromImage(const QImage &image) {
  QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  CPixelCanvas canvas(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(canvas.Row(y), rgb.constScanLine(y), size_t(rgb.width()) * 3);
  return canvas;
}

CResult<CPixelCanvas> CQtPictures::LoadPicture(int resourceId) {
  std::string name = "bitmap " + std::to_string(resourceId);
  QImage image;
  if (m_folder.empty()) {
    std::span<const uint8_t> png = EmbeddedPng(resourceId);
    if (png.empty()) return MakeError(name + " is not in the program");
    image.loadFromData(png.data(), int(png.size()), "PNG");
  } else {
    const CBitmapResource *resource = FindBitmapResource(resourceId);
    if (!resource) return MakeError(name + " is not one of the program's pictures");
    std::filesystem::path path = m_folder / resource->m_fileName;
    name = path.string();
    image.load(QString::fromStdString(path.string()));
  }
  if (image.isNull()) return MakeError(name + ": cannot be read as a picture");
  return CanvasFromImage(image);
}

} // namespace quillan
