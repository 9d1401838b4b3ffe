// The program's menu bar and toolbar, built from tables of named tools and bands.
// A tool keeps one caption, tooltip, enabled and checked state wherever it appears
// (menu bar, toolbar, popup); a click anywhere reaches the owner as WM_COMMAND with
// the tool's command id, which ToolName turns back into the tool's name.
#pragma once

#include <windows.h>

#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/handles.h"

namespace ui {

struct ToolSpec {
  const wchar_t* name;
  const wchar_t* caption;
  const wchar_t* tooltip;  // nullptr: none
  int image;               // toolbar image (see kImage*), -1 for none
};

// A band lists tool names in order; "/" stands for a separator.
struct BandSpec {
  const wchar_t* name;
  const wchar_t* caption;
  std::vector<const wchar_t*> tools;
};

// Menu-bar entries that open a band as their drop-down.
struct DropDown {
  const wchar_t* tool;
  const wchar_t* band;
};

// Toolbar images: the system's standard small bitmaps, numbered in the order they are
// loaded (standard, view, history).
int StandardImage(int stdIndex);  // STD_*
int ViewImage(int viewIndex);     // VIEW_*
int HistoryImage(int histIndex);  // HIST_*

class CommandBar {
 public:
  static constexpr int kFirstCommand = 0x4000;

  CommandBar() = default;
  CommandBar(const CommandBar&) = delete;
  CommandBar& operator=(const CommandBar&) = delete;

  // Creates the menu bar (band menuBand, with drop-downs) and the toolbar (band
  // toolbarBand) of the owner window.
  bool Create(HWND owner, std::span<const ToolSpec> tools, std::span<const BandSpec> bands,
              const wchar_t* menuBand, std::span<const DropDown> dropDowns,
              const wchar_t* toolbarBand);

  int Command(const std::wstring& tool) const;     // 0 when there is no such tool
  std::wstring ToolName(int command) const;        // "" for a command of no tool
  const BandSpec* FindBand(const std::wstring& name) const;

  bool Enabled(const std::wstring& tool) const;
  void SetEnabled(const std::wstring& tool, bool enabled);
  bool Checked(const std::wstring& tool) const;
  void SetChecked(const std::wstring& tool, bool checked);
  // A numeric property of a tool (for example the help topic a tool opens).
  void SetProperty(const std::wstring& tool, const std::wstring& property, long value);
  long Property(const std::wstring& tool, const std::wstring& property) const;

  // Shows a band as a popup menu at a screen point; the tool picked, or "".
  std::wstring PopupBand(const std::wstring& band, POINT screen);

  // Answers the toolbar's tooltip requests; true when the notification was one.
  bool OnNotify(const NMHDR& header);

  HWND Toolbar() const { return toolbar_; }
  HMENU MenuBar() const { return menuBar_; }
  int ToolbarHeight() const;

 private:
  struct Tool {
    ToolSpec spec;
    int command = 0;
    bool enabled = true;
    bool checked = false;
    std::map<std::wstring, long> properties;
    std::vector<std::pair<HMENU, UINT>> placements;  // menus and positions it stands at
  };
  Tool* Find(const std::wstring& name);
  const Tool* Find(const std::wstring& name) const;
  HMENU BuildBandMenu(const BandSpec& band, bool remember);
  void ApplyState(const Tool& tool);

  HWND owner_ = nullptr;
  HWND toolbar_ = nullptr;
  HMENU menuBar_ = nullptr;  // owned by the owner window once set
  std::vector<Tool> tools_;
  std::vector<BandSpec> bands_;
};

}  // namespace ui
