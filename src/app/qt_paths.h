#pragma once
// File paths between the core (std::filesystem, the system's own bytes) and
// Qt (QString): Qt's file name encoding both ways, so names that are not
// valid UTF-8 survive the trip.

#include <QFile>
#include <QString>
#include <filesystem>

namespace quillan {

inline QString PathToQString(const std::filesystem::path &path) {
  return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

inline std::filesystem::path QStringToPath(const QString &text) {
  return std::filesystem::path(QFile::encodeName(text).toStdString());
}

} // namespace quillan
