#include "ui/common/command_bar.h"

#include <commctrl.h>

namespace ui {
namespace {

// Offsets of the view and history bitmaps after the standard one (15 images).
constexpr int kViewOffset = 15;
constexpr int kHistoryOffset = 15 + 12;

bool IsSeparator(const wchar_t* tool) { return tool[0] == L'/' && tool[1] == 0; }

}  // namespace

int StandardImage(int stdIndex) { return stdIndex; }
int ViewImage(int viewIndex) { return kViewOffset + viewIndex; }
int HistoryImage(int histIndex) { return kHistoryOffset + histIndex; }

CommandBar::Tool* CommandBar::Find(const std::wstring& name) {
  for (Tool& tool : tools_)
    if (name == tool.spec.name) return &tool;
  return nullptr;
}

const CommandBar::Tool* CommandBar::Find(const std::wstring& name) const {
  return const_cast<CommandBar*>(this)->Find(name);
}

const BandSpec* CommandBar::FindBand(const std::wstring& name) const {
  for (const BandSpec& band : bands_)
    if (name == band.name) return &band;
  return nullptr;
}

HMENU CommandBar::BuildBandMenu(const BandSpec& band, bool remember) {
  HMENU menu = ::CreatePopupMenu();
  UINT position = 0;
  for (const wchar_t* name : band.tools) {
    if (IsSeparator(name)) {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (Tool* tool = Find(name)) {
      ::AppendMenuW(menu, MF_STRING, tool->command, tool->spec.caption);
      if (remember) tool->placements.emplace_back(menu, position);
      const UINT flags = MF_BYPOSITION | (tool->enabled ? MF_ENABLED : MF_GRAYED);
      ::EnableMenuItem(menu, position, flags);
      ::CheckMenuItem(menu, position, MF_BYPOSITION | (tool->checked ? MF_CHECKED : MF_UNCHECKED));
    }
    ++position;
  }
  return menu;
}

bool CommandBar::Create(HWND owner, std::span<const ToolSpec> tools,
                        std::span<const BandSpec> bands, const wchar_t* menuBand,
                        std::span<const DropDown> dropDowns, const wchar_t* toolbarBand) {
  owner_ = owner;
  bands_.assign(bands.begin(), bands.end());
  tools_.clear();
  for (const ToolSpec& spec : tools)
    tools_.push_back(Tool{spec, kFirstCommand + static_cast<int>(tools_.size())});

  // The menu bar: plain entries, or drop-downs holding a band.
  const BandSpec* main = FindBand(menuBand);
  if (!main) return false;
  menuBar_ = ::CreateMenu();
  UINT position = 0;
  for (const wchar_t* name : main->tools) {
    Tool* tool = Find(name);
    if (!tool) continue;
    const BandSpec* dropDown = nullptr;
    for (const DropDown& d : dropDowns)
      if (name == std::wstring(d.tool)) dropDown = FindBand(d.band);
    if (dropDown)
      ::AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildBandMenu(*dropDown, true)),
                    tool->spec.caption);
    else
      ::AppendMenuW(menuBar_, MF_STRING, tool->command, tool->spec.caption);
    tool->placements.emplace_back(menuBar_, position++);
  }
  ::SetMenu(owner, menuBar_);

  // The toolbar: image buttons with tooltips.
  const BandSpec* bar = FindBand(toolbarBand);
  toolbar_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, bar ? bar->caption : L"",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                               0, 0, 0, 0, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!toolbar_ || !bar) return false;
  ::SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageW(toolbar_, TB_LOADIMAGES, IDB_STD_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
  ::SendMessageW(toolbar_, TB_LOADIMAGES, IDB_VIEW_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
  ::SendMessageW(toolbar_, TB_LOADIMAGES, IDB_HIST_SMALL_COLOR, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
  std::vector<TBBUTTON> buttons;
  for (const wchar_t* name : bar->tools) {
    TBBUTTON button{};
    if (IsSeparator(name)) {
      button.fsStyle = BTNS_SEP;
    } else if (const Tool* tool = Find(name)) {
      button.iBitmap = tool->spec.image >= 0 ? tool->spec.image : I_IMAGENONE;
      button.idCommand = tool->command;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
    } else {
      continue;
    }
    buttons.push_back(button);
  }
  ::SendMessageW(toolbar_, TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  ::SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  return true;
}

int CommandBar::Command(const std::wstring& tool) const {
  const Tool* found = Find(tool);
  return found ? found->command : 0;
}

std::wstring CommandBar::ToolName(int command) const {
  const size_t index = static_cast<size_t>(command - kFirstCommand);
  return command >= kFirstCommand && index < tools_.size() ? tools_[index].spec.name : L"";
}

void CommandBar::ApplyState(const Tool& tool) {
  bool menuBarChanged = false;
  for (const auto& [menu, position] : tool.placements) {
    ::EnableMenuItem(menu, position, MF_BYPOSITION | (tool.enabled ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, position, MF_BYPOSITION | (tool.checked ? MF_CHECKED : MF_UNCHECKED));
    menuBarChanged |= menu == menuBar_;
  }
  if (menuBarChanged && owner_) ::DrawMenuBar(owner_);
  if (toolbar_) {
    ::SendMessageW(toolbar_, TB_ENABLEBUTTON, tool.command, MAKELPARAM(tool.enabled, 0));
    ::SendMessageW(toolbar_, TB_CHECKBUTTON, tool.command, MAKELPARAM(tool.checked, 0));
  }
}

bool CommandBar::Enabled(const std::wstring& tool) const {
  const Tool* found = Find(tool);
  return found && found->enabled;
}

void CommandBar::SetEnabled(const std::wstring& tool, bool enabled) {
  if (Tool* found = Find(tool)) {
    found->enabled = enabled;
    ApplyState(*found);
  }
}

bool CommandBar::Checked(const std::wstring& tool) const {
  const Tool* found = Find(tool);
  return found && found->checked;
}

void CommandBar::SetChecked(const std::wstring& tool, bool checked) {
  if (Tool* found = Find(tool)) {
    found->checked = checked;
    ApplyState(*found);
  }
}

void CommandBar::SetProperty(const std::wstring& tool, const std::wstring& property, long value) {
  if (Tool* found = Find(tool)) found->properties[property] = value;
}

long CommandBar::Property(const std::wstring& tool, const std::wstring& property) const {
  const Tool* found = Find(tool);
  if (!found) return 0;
  const auto it = found->properties.find(property);
  return it == found->properties.end() ? 0 : it->second;
}

std::wstring CommandBar::PopupBand(const std::wstring& band, POINT screen) {
  const BandSpec* spec = FindBand(band);
  if (!spec) return {};
  common::UniqueMenu menu(BuildBandMenu(*spec, false));
  const int picked = static_cast<int>(::TrackPopupMenu(
      menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, owner_,
      nullptr));
  return ToolName(picked);
}

bool CommandBar::OnNotify(const NMHDR& header) {
  if (header.code != TTN_GETDISPINFOW) return false;
  auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
  const Tool* tool = Find(ToolName(static_cast<int>(header.idFrom)));
  info.lpszText = const_cast<wchar_t*>(tool && tool->spec.tooltip ? tool->spec.tooltip : L"");
  return true;
}

int CommandBar::ToolbarHeight() const {
  RECT rect{};
  if (toolbar_) ::GetWindowRect(toolbar_, &rect);
  return rect.bottom - rect.top;
}

}  // namespace ui
