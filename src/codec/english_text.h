#pragma once
// The English chunk files: one file per page of a script,
//   <base>/Scripts/PATCHED INFO/<short name>/<stem><'0' + page>.tk7
// holding the page's English strings one after another, line 0 first, each
// element as the two bytes 0x00 and its low byte, each string ended by the
// pair 0x00 0x00. A full page holds 256 strings, the last page exactly its
// own entry count. No header, no padding; the length is always even.
// (ReadEnglishChunk in core/document.h is the reading rule.)

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/result.h"
#include "kanji/kanji_store.h"

namespace quillan {

// The chunk file bytes of these strings: each string up to its first element
// whose low byte is 0 (later elements are not kept), then 00 00.
std::vector<uint8_t> EnglishChunkBytes(std::span<const EnglishString> lines);

// Save English Text: the script's code book (unless writeCodeBook is false:
// a book that did not load cleanly and that the user keeps), the kanji
// database (when store is given), then one chunk file per page of the open
// script. Missing folders
// are created and every file is replaced atomically. Every file is tried;
// when any cannot be written the result names each one and why, and
// m_modified stays set; otherwise m_modified is cleared. Refused when no
// script is open. (Inside CQuillanDlg call it qualified:
// quillan::SaveEnglishText(*this, &m_kanjiStore).)
CStatus SaveEnglishText(CTranslationDocument &doc, const CKanjiStore *store, bool writeCodeBook = true);

// The save with its safety nets, as the window and the command line run it:
//  - Files changed on disk since the document read them (m_readStamps): the
//    list goes to confirmReplace, and a false answer stops the save before
//    anything is written ("cancelled" error). Without confirmReplace such a
//    save is refused.
//  - Before anything is replaced, the chunk files, the code book and the
//    database as they are on disk are copied to
//      <base>/backup/<short name>/<YYYYMMDD-HHMMSS>/
//    and only the newest `backups` folders of the script are kept (negative:
//    "backups = N" of quillan.conf, 10 when unset; 0 turns backups off). A
//    backup that cannot be made stops the save, naming the folder.
//  - After the writes, the stamps of the written files are taken anew.
struct CSaveOptions {
  const CKanjiStore *m_store = nullptr;
  bool m_writeCodeBook = true;
  int m_backups = -1;
  std::function<bool(const std::vector<std::filesystem::path> &)> m_confirmReplace;
};
CStatus SaveEnglishText(CTranslationDocument &doc, const CSaveOptions &options);

// The files the save writes, in order: code book (unless left out), database (with a store),
// chunk files.
std::vector<std::filesystem::path> SavedFiles(const CTranslationDocument &doc, bool withStore,
                                              bool withCodeBook = true);
// Of those, the ones whose bytes on disk differ from their stamp.
std::vector<std::filesystem::path> FilesChangedOnDisk(const CTranslationDocument &doc, bool withStore,
                                                      bool withCodeBook = true);
// The error message of a save stopped at the question.
inline constexpr const char *kSaveCancelled = "Save English Text was cancelled; nothing was written";

} // namespace quillan
