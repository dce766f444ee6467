#pragma once
// The optical discs the machine offers as a source for the disc image: every
// mounted ISO 9660 or UDF file system (a disc in a drive, or a disc image
// mounted through a loop device), every mount of an optical drive, and the
// optical drives that hold no mounted disc (listed so that the user sees the
// drive and knows to mount it).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quillan {

struct COpticalDrive {
  std::string m_device;               // "/dev/sr0", "/dev/loop3"
  std::filesystem::path m_mountPoint; // empty when no disc is mounted
  std::string m_fileSystem;           // "iso9660", "udf", ...; empty when not mounted

  bool Mounted() const { return !m_mountPoint.empty(); }
  // The text of the drive list: "/media/ann/DISC  (/dev/sr0, iso9660)" or
  // "/dev/sr1  (no disc mounted)".
  std::string Label() const;
};

// A field of the mount table with its octal escapes ("\040" for a space,
// "\011", "\012", "\134") decoded.
std::string DecodeMountField(std::string_view field);

// The drives found in a mount table in the format of /proc/mounts (device,
// mount point, file system type, options, two numbers) and a list of the
// machine's optical drive devices ("/dev/sr0"). Mounts come in table order,
// each mount point once; drives without a mount follow.
std::vector<COpticalDrive> ParseOpticalDrives(std::string_view mountTable,
                                              const std::vector<std::string> &opticalDevices);

// The drives of this machine: /proc/self/mounts and the /dev/sr* devices.
std::vector<COpticalDrive> ListOpticalDrives();

} // namespace quillan
