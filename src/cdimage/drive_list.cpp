#include "cdimage/drive_list.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

namespace quillan {

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

bool IsOpticalFileSystem(std::string_view type) { return type == "iso9660" || type == "udf"; }

bool IsOpticalDeviceName(std::string_view device, const std::vector<std::string> &opticalDevices) {
  if (device.starts_with("/dev/sr") || device.starts_with("/dev/cdrom") || device.starts_with("/dev/dvd")) return true;
  return std::find(opticalDevices.begin(), opticalDevices.end(), device) != opticalDevices.end();
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.emplace_back(line.substr(start, i - start));
  }
  return fields;
}

} // namespace

std::string COpticalDrive::Label() const {
  if (!Mounted()) return m_device + "  (no disc mounted)";
  std::string label = m_mountPoint.string() + "  (" + m_device;
  if (!m_fileSystem.empty()) label += ", " + m_fileSystem;
  return label + ")";
}

std::string DecodeMountField(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
        IsOctal(field[i + 3])) {
      int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      if (value <= 0xFF) {
        text.push_back(char(value));
        i += 3;
        continue;
      }
    }
    text.push_back(field[i]);
  }
  return text;
}

std::vector<COpticalDrive> ParseOpticalDrives(std::string_view mountTable,
                                              const std::vector<std::string> &opticalDevices) {
  std::vector<COpticalDrive> drives;
  std::set<std::string> mountPoints, mountedDevices;
  size_t start = 0;
  while (start < mountTable.size()) {
    size_t end = mountTable.find('\n', start);
    if (end == std::string_view::npos) end = mountTable.size();
    auto fields = SplitFields(mountTable.substr(start, end - start));
    start = end + 1;
    if (fields.size() < 3) continue;
    std::string device = DecodeMountField(fields[0]);
    std::string mountPoint = DecodeMountField(fields[1]);
    const std::string &type = fields[2];
    if (!IsOpticalFileSystem(type) && !IsOpticalDeviceName(device, opticalDevices)) continue;
    mountedDevices.insert(device);
    if (!mountPoints.insert(mountPoint).second) continue;
    drives.push_back(COpticalDrive{device, mountPoint, type});
  }
  std::vector<std::string> idle;
  for (const auto &device : opticalDevices)
    if (!mountedDevices.count(device)) idle.push_back(device);
  std::sort(idle.begin(), idle.end());
  idle.erase(std::unique(idle.begin(), idle.end()), idle.end());
  for (const auto &device : idle) drives.push_back(COpticalDrive{device, {}, {}});
  return drives;
}

std::vector<COpticalDrive> ListOpticalDrives() {
  std::string table;
  {
    std::ifstream mounts("/proc/self/mounts");
    if (!mounts) mounts.open("/proc/mounts");
    table.assign(std::istreambuf_iterator<char>(mounts), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> devices;
  std::error_code error;
  for (std::filesystem::directory_iterator it("/dev", error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (name.size() > 2 && name.starts_with("sr") &&
        std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
      devices.push_back(it->path().string());
  }
  return ParseOpticalDrives(table, devices);
}

} // namespace quillan
