#include "workbench/propagate.h"

namespace quillan {

std::vector<CPropagation> PlanPropagation(const CTranslationMemory &memory) {
  std::vector<CPropagation> out;
  for (size_t target = 0; target < memory.Size(); ++target) {
    const CMemoryEntry &entry = memory.Entry(target);
    if (entry.m_japanese.empty() || IsTranslated(entry.m_english)) continue;
    size_t source = CTranslationMemory::npos;
    bool agree = true;
    for (size_t other : memory.SameJapanese(entry.m_key)) {
      if (!IsTranslated(memory.Entry(other).m_english)) continue;
      if (source == CTranslationMemory::npos) {
        source = other;
      } else if (TranslationKey(memory.Entry(other).m_english) != TranslationKey(memory.Entry(source).m_english)) {
        agree = false;
        break;
      }
    }
    if (source != CTranslationMemory::npos && agree) out.push_back({target, source});
  }
  return out;
}

} // namespace quillan
