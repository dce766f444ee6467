// Replays every file below the given folders through the fuzz target, so that
// the seeds and the kept findings run in every build, without libFuzzer.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
  int replayed = 0;
  auto replay = [&](const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++replayed;
  };
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    if (std::filesystem::is_regular_file(argv[i], error)) {
      replay(argv[i]);
      continue;
    }
    if (!std::filesystem::is_directory(argv[i], error)) continue;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(argv[i]))
      if (entry.is_regular_file()) replay(entry.path());
  }
  std::printf("replayed %d inputs\n", replayed);
  return 0;
}
