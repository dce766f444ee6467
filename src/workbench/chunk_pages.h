#pragma once
// The chunk files of some pages of the open script written as Save English
// Text writes them, for the commands that change a script's English text
// outside the window (PO import, propagation).

#include <span>

#include "core/document.h"
#include "core/result.h"

namespace quillan {

// Writes the chunk file of each page given (atomically, the folder created
// when missing). Every page is tried; the error names each file that failed.
CStatus WriteChunkPages(const CTranslationDocument &doc, std::span<const int> pages);

} // namespace quillan
