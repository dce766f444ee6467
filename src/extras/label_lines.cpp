#include "extras/label_lines.h"

#include <filesystem>
#include <system_error>

#include "core/file_io.h"

namespace quillan {

namespace {

constexpr uint8_t kColon = ':';
constexpr uint8_t kCR = 13;
constexpr uint8_t kLF = 10;
constexpr std::string_view kRecordPrefix = "~0-0~ ";

} // namespace

std::vector<uint8_t> ConvertLabelLines(std::span<const uint8_t> input) {
  std::vector<uint8_t> out;
  out.reserve(input.size() + input.size() / 4 + 16);
  size_t pos = 0;
  while (pos < input.size()) {
    const uint8_t first = input[pos++];
    out.insert(out.end(), kRecordPrefix.begin(), kRecordPrefix.end());
    out.push_back(first);
    if (first != kColon) {
      while (pos < input.size()) {
        const uint8_t byte = input[pos++];
        if (byte != kCR && byte != kLF) out.push_back(byte);
        if (byte == kColon) break;
      }
    }
    out.push_back(kCR);
    out.push_back(kLF);
    while (pos < input.size()) {
      const uint8_t byte = input[pos++];
      out.push_back(byte);
      if (byte == kLF) break;
    }
  }
  return out;
}

std::string LabelLinesOutputName(std::string_view argument) {
  size_t cut = argument.size();
  if (cut == 0) return "n";
  --cut;
  // Step back over UTF-8 continuation bytes to the start of the last character.
  while (cut > 0 && (uint8_t(argument[cut]) & 0xC0) == 0x80)
    --cut;
  return std::string(argument.substr(0, cut)) + "n";
}

int RunPrefixer(std::span<const std::string> arguments, std::ostream &errors) {
  if (arguments.empty()) {
    errors << "usage: prefixer FILE...\n"
              "Converts each FILE of label:text lines into the records that Fill from VDR\n"
              "text reads (a line \"~0-0~ label:\", then the text line), written to FILE with\n"
              "its last character replaced by 'n' (notes.txt gives notes.txn).\n";
    return -1;
  }
  int status = 0;
  auto fail = [&](const std::string &message) {
    errors << "prefixer: " << message << "\n";
    status = 1;
  };
  for (const std::string &argument : arguments) {
    if (argument.empty()) {
      fail("an empty file name: skipped");
      continue;
    }
    const std::string outputName = LabelLinesOutputName(argument);
    if (outputName == argument) {
      fail(argument + ": its output would be the file itself (the name already ends in \"n\"): skipped");
      continue;
    }
    const std::filesystem::path input(argument), output(outputName);
    std::error_code error;
    if (std::filesystem::exists(output, error) && std::filesystem::equivalent(input, output, error)) {
      fail(argument + ": its output " + outputName + " is the same file: skipped");
      continue;
    }
    auto bytes = ReadFileBytes(input);
    if (!bytes) {
      fail(bytes.Error().Message());
      continue;
    }
    CStatus written = WriteFileAtomic(output, ConvertLabelLines(*bytes));
    if (!written) fail(written.Error().Message());
  }
  return status;
}

} // namespace quillan
