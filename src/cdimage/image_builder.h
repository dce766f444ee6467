#pragma once
// The external ISO 9660 image builder. The working folder may bring its own
// (data/mkisofs, or data/mkisofs.exe when it can run here); otherwise the
// first of mkisofs, genisoimage and xorrisofs found in the search path is
// used. It is started with the argument list
//   -sort SORTFILE -o IMAGE SOURCE
// and its percentage lines ("45.67% done") are passed on as progress.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cdimage/progress.h"
#include "core/result.h"

namespace quillan {

struct CImageBuilder {
  std::filesystem::path m_program;
  std::vector<std::string> m_notes; // builders of the working folder that were passed over, and why
};

// folderList is a PATH-style list of folders.
CResult<CImageBuilder> FindImageBuilder(const std::filesystem::path &workDir, std::string_view folderList);

// The builder's arguments after the program name.
std::vector<std::string> ImageBuilderArguments(const std::filesystem::path &sortFile,
                                               const std::filesystem::path &image, const std::string &source);

// Runs the builder and waits for it, reporting step "build" (done and total
// in hundredths of a percent; total 0 until the builder reports a figure).
// Fails with the builder's exit status and the end of its error output when
// it does not succeed, and when it leaves no image behind.
CStatus RunImageBuilder(const std::filesystem::path &program, const std::filesystem::path &sortFile,
                        const std::filesystem::path &image, const std::string &source,
                        const CProgressCallback &progress);

// The last "NN.NN% done" figure in a piece of builder output, in hundredths
// of a percent, or -1 when it has none.
int ParseBuilderPercent(std::string_view output);

} // namespace quillan
