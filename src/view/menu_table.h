#pragma once
// The main window's menu bar as data: captions (with their accelerator
// marks) and command ids, and what each insert command puts at the cursor.
// The front end builds its menus from this table; the dialog dispatches the
// insert commands through it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillan {

struct CMenuEntry {
  std::string m_caption;
  int m_id = 0;                      // 0 for a submenu or a separator
  std::vector<CMenuEntry> m_entries; // the submenu's entries
  bool m_separator = false;
};

// The ten entries of the menu bar; names are the 40 character-name labels.
std::vector<CMenuEntry> MainMenu(const std::array<std::string, 40> &names);

enum class CInsertKind { Code, CodeWithArgument, Name };

struct CInsertCommand {
  int m_id;
  CInsertKind m_kind;
  uint16_t m_code;     // the code (Code, CodeWithArgument)
  uint16_t m_argument; // 0-based argument, or the name number 1-40
};

// The caption of the item id without its accelerator marks ("Fill w/ Name &&
// Number" gives "Fill w/ Name & Number"); empty when no item has the id.
std::string CommandCaption(const std::vector<CMenuEntry> &menu, int id);

// The insert command of a menu id, or null.
const CInsertCommand *FindInsertCommand(int id);

// The ids of the name items in menu order (first menu, then second).
const std::array<int, 40> &NameItemIds();

} // namespace quillan
