#pragma once
// Propagation: an untranslated entry whose Japanese text equals that of
// translated entries that all agree takes their translation.

#include <vector>

#include "workbench/translation_memory.h"

namespace quillan {

struct CPropagation {
  size_t m_target = 0; // the untranslated entry
  size_t m_source = 0; // the first translated entry with the same text
};

// In memory order. Entries without Japanese text take nothing; the
// translations given by this run are not sources of it.
std::vector<CPropagation> PlanPropagation(const CTranslationMemory &memory);

} // namespace quillan
