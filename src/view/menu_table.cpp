#include "view/menu_table.h"

#include <algorithm>
#include <cstdio>

namespace quillan {

namespace {

constexpr std::array<int, 40> kNameIds = {32867, 32868, 32869, 32870, 32871, 32872, 32873, 32909, 32875, 32876,
                                          32877, 32878, 32879, 32880, 32881, 32882, 32883, 32884, 32885, 32887,
                                          32888, 32890, 32891, 32892, 32893, 32894, 32895, 32896, 32897, 32898,
                                          32899, 32874, 32901, 32902, 32903, 32904, 32905, 32906, 32907, 32908};

struct CColour {
  const char *m_name;
  int m_id;
};
constexpr CColour kColours[15] = {
    {"Dark Gray", 32855},  {"Blue", 32841},       {"Dark Red", 32842}, {"Light Red", 32843},    {"Green", 32844},
    {"Light Blue", 32857}, {"Yellow", 32846},     {"White", 32847},    {"Black", 32848},        {"Medium Red", 32849},
    {"Purple", 32850},     {"Grey Green", 32852}, {"Brown", 32851},    {"Medium Green", 32853}, {"Light Gray", 32854}};

constexpr const char *kStyleVariants[8] = {"",
                                           "Fast (cannot tell)",
                                           "Shake",
                                           "Shake Fast",
                                           "Swinging Door",
                                           "Swinging Door Fast",
                                           "Swinging Door Shake",
                                           "Swinging Door Shake Fast"};
constexpr int kThinIds[8] = {32802, 32803, 32804, 32805, 32806, 32807, 32808, 32809};
constexpr int kBoldIds[8] = {32810, 32811, 32812, 32814, 32813, 32815, 32816, 32817};

struct CSized {
  const char *m_caption;
  int m_id;
  uint16_t m_argument;
};
constexpr CSized kFontSizes[6] = {{"1/4", 32787, 1}, {"1/2", 32856, 2}, {"2", 32788, 3},
                                  {"4", 32789, 4},   {"8", 32790, 5},   {"16", 32791, 6}};
constexpr CSized kBubbles[6] = {{"Falling bubble", 32781, 1},        {"Spinning bubble", 32782, 2},
                                {"Growing bubble", 32783, 3},        {"Push bubble", 32784, 4},
                                {"Spin to screen bubble", 32785, 5}, {"Spin to center bubble", 32786, 6}};
constexpr int kSlotIds[16] = {32823, 32824, 32828, 32826, 32827, 32829, 32830, 32831,
                              32832, 32833, 32834, 32835, 32836, 32837, 32838, 32839};

std::vector<CInsertCommand> MakeInsertCommands() {
  std::vector<CInsertCommand> commands = {
      {32819, CInsertKind::Code, 0x01, 0},
      {32820, CInsertKind::Code, 0x02, 0},
      {32818, CInsertKind::Code, 0x03, 0},
      {32821, CInsertKind::Code, 0x04, 0},
  };
  for (int v = 0; v < 8; ++v) {
    commands.push_back({kThinIds[v], CInsertKind::CodeWithArgument, 9, uint16_t(2 * v)});
    commands.push_back({kBoldIds[v], CInsertKind::CodeWithArgument, 9, uint16_t(2 * v + 1)});
  }
  for (const auto &size : kFontSizes)
    commands.push_back({size.m_id, CInsertKind::CodeWithArgument, 10, size.m_argument});
  for (const auto &bubble : kBubbles)
    commands.push_back({bubble.m_id, CInsertKind::CodeWithArgument, 15, bubble.m_argument});
  for (int i = 0; i < 15; ++i)
    commands.push_back({kColours[i].m_id, CInsertKind::CodeWithArgument, 8, uint16_t(i)});
  for (int s = 0; s < 16; ++s)
    commands.push_back({kSlotIds[s], CInsertKind::Code, uint16_t(0x10 + s), 0});
  for (int k = 0; k < 40; ++k)
    commands.push_back({kNameIds[size_t(k)], CInsertKind::Name, 0x11, uint16_t(k + 1)});
  std::sort(commands.begin(), commands.end(), [](auto &a, auto &b) { return a.m_id < b.m_id; });
  return commands;
}

CMenuEntry Item(std::string caption, int id) { return CMenuEntry{std::move(caption), id, {}, false}; }
CMenuEntry Separator() { return CMenuEntry{"", 0, {}, true}; }
CMenuEntry Popup(std::string caption, std::vector<CMenuEntry> entries) {
  return CMenuEntry{std::move(caption), 0, std::move(entries), false};
}

} // namespace

const std::array<int, 40> &NameItemIds() { return kNameIds; }

const CInsertCommand *FindInsertCommand(int id) {
  static const std::vector<CInsertCommand> commands = MakeInsertCommands();
  auto it = std::lower_bound(commands.begin(), commands.end(), id, [](auto &c, int v) { return c.m_id < v; });
  return it != commands.end() && it->m_id == id ? &*it : nullptr;
}

std::vector<CMenuEntry> MainMenu(const std::array<std::string, 40> &names) {
  std::vector<CMenuEntry> colours, thin, bold, sizes, bubbles, slots, first, second;
  for (const auto &colour : kColours)
    colours.push_back(Item(colour.m_name, colour.m_id));
  for (int v = 0; v < 8; ++v) {
    thin.push_back(Item(v == 0 ? "Thin" : kStyleVariants[v], kThinIds[v]));
    bold.push_back(Item(v == 0 ? "Bold" : kStyleVariants[v], kBoldIds[v]));
  }
  for (const auto &size : kFontSizes)
    sizes.push_back(Item(size.m_caption, size.m_id));
  for (const auto &bubble : kBubbles)
    bubbles.push_back(Item(bubble.m_caption, bubble.m_id));
  for (int s = 0; s < 16; ++s) {
    char label[24];
    std::snprintf(label, sizeof label, "Slot %d (%X)", s + 1, 0x10 + s);
    slots.push_back(Item(label, kSlotIds[s]));
  }
  for (int k = 0; k < 20; ++k) {
    first.push_back(Item(names[size_t(k)], kNameIds[size_t(k)]));
    second.push_back(Item(names[size_t(20 + k)], kNameIds[size_t(20 + k)]));
  }
  return {
      Popup("&File", {Item("&Open Japanese Text", 32771), Item("Save Kanji Database", 32913),
                      Item("&Save English Text", 32772), Item("&Compress!!!", 32911), Item("Compress All", 32916),
                      Item("Change &Font", 32912), Item("Make CD", 32915), Separator(),
                      Item("Export PO...", 32940), Item("Import PO...", 32941)}),
      Popup("&Edit", {Item("&Undo", 32950), Item("&Redo", 32951)}),
      Item("&Goto", 32858),
      Popup("Search", {Item("Search For Text", 32863), Item("Search Kanji Database", 32910)}),
      Popup("&Color", colours),
      Popup("&Effects", {Popup("Font Size", sizes), Popup("Font Style", {Popup("Thin", thin), Popup("Bold", bold)}),
                         Popup("Carriage Return", {Item("New Line", 32818), Item("End bubble w/ arrow", 32819),
                                                   Item("End bubble w/o arrow", 32820)}),
                         Popup("Other", bubbles), Item("Zoom", 32780), Item("Tilt", 32779), Item("Pause", 32821),
                         Item("Tab", 32822)}),
      Popup("Insert Name", {Popup("Insert Name SC &1", first), Popup("Insert Name SC &2", second)}),
      Popup("Contents grabbed from &RAM", slots),
      Popup("Fill", {Item("Fill w/ &Numbers", 32861), Item("Fill w/ Name && Number", 32859),
                     Item("Fill from &ScriptFile", 32860), Item("Fill from &Text(*.txt) File", 32862),
                     Item("Fill from VDR text", 32914)}),
      Item("TK&7 Text Characters", 32775),
  };
}

std::string CommandCaption(const std::vector<CMenuEntry> &menu, int id) {
  for (const CMenuEntry &entry : menu) {
    if (entry.m_id == id && entry.m_entries.empty()) {
      std::string caption;
      const std::string &text = entry.m_caption;
      for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i; // "&x" shows x, "&&" shows &
        caption.push_back(text[i]);
      }
      return caption;
    }
    if (std::string inner = CommandCaption(entry.m_entries, id); !inner.empty()) return inner;
  }
  return {};
}

} // namespace quillan
