#pragma once
// Label lines to ".txn" records: each entry "label:text" of a plain text file
// becomes the record line "~0-0~ label:" and the text line after it, the form
// that "Fill from VDR text" imports. Works on raw bytes; knows nothing of the
// game's character codes.

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillan {

// The conversion of one file's bytes. For each entry: the six bytes "~0-0~ ",
// the entry's first byte unchanged, then the label up to and including the
// first colon with CR and LF dropped, CR LF, and the text up to and including
// the next LF. An input that ends inside a label gets its CR LF and nothing
// more; a last text line without a line end is copied as it is.
std::vector<uint8_t> ConvertLabelLines(std::span<const uint8_t> input);

// The output file of an argument: its last character replaced by 'n'
// (notes.txt gives notes.txn). A last character of several UTF-8 bytes is
// replaced whole.
std::string LabelLinesOutputName(std::string_view argument);

// The prefixer program: converts each file named in arguments, in order.
// Refuses (with a message on errors, naming the file) an argument whose output
// would be the input itself (one ending in 'n'), an input that cannot be read
// and an output that cannot be written, and goes on with the next argument.
// Returns the exit status: -1 without arguments (nothing touched, the usage
// on errors), 1 when any argument failed, else 0.
int RunPrefixer(std::span<const std::string> arguments, std::ostream &errors);

} // namespace quillan
