// A host window with the list engine in it, and a record of the engine's events.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foldrix/folder_view.h"
#include "foldrix/item.h"
#include "foldrix/namespace.h"
#include "support/scratch.h"

namespace foldrix_test {

using foldrix::ComPtr;
using foldrix::Pidl;

class RecordingEvents : public foldrix::FolderViewEvents {
 public:
  std::vector<std::wstring> log;
  bool cancelPathChanging = false;
  bool cancelColumnZero = false;
  bool runMode = true;
  bool wantItems = true;  // false: as a control nobody listens to
  std::vector<bool> hasParentChanged;
  std::vector<foldrix::ItemPtr> addingItems;

  bool RunMode() override { return runMode; }
  bool WantsItemEvents() override { return wantItems; }
  void AddingColumn(long& index, std::wstring& /*title*/, bool& /*use*/, bool& cancel) override {
    if (index == 0) log.push_back(L"AddingColumn0");
    if (index == 0 && cancelColumnZero) cancel = true;
  }
  void AddingItem(const foldrix::ItemPtr& item, bool&) override {
    if (addingItems.size() < 4) addingItems.push_back(item);
    if (log.empty() || log.back() != L"Items") log.push_back(L"Items");
  }
  void PathChanging(LONG_PTR, LONG_PTR, bool& hasParent, bool& cancel) override {
    log.push_back(hasParent ? L"PathChanging+" : L"PathChanging-");
    cancel = cancelPathChanging;
  }
  void PathChanged(LONG_PTR newPidl, LONG_PTR, bool& hasParent) override {
    log.push_back(hasParent ? L"PathChanged+" : L"PathChanged-");
    hasParentChanged.push_back(hasParent);
    lastNew = foldrix::DisplayNameOf(foldrix::FromAddress(newPidl));
  }
  std::wstring lastNew;
};

// The engine in a hidden top-level host window.
class ViewFixture : public ::testing::Test {
 public:
  static VARIANT Text(const wchar_t* text);
  static VARIANT TextValue(const wchar_t* text) { return Text(text); }

 protected:
  void SetUp() override;
  void TearDown() override;
  // Rows' texts in order.
  std::vector<std::wstring> Names() const;
  int Row(const std::wstring& name) const;
  std::wstring Text(int row, int column) const;
  void Go(const std::wstring& path);

  HWND host_ = nullptr;
  RecordingEvents events_;
  std::unique_ptr<foldrix::FolderView> view_;
};

// A folder that hides its details interfaces, as older folders have none.
ComPtr<IShellFolder> WithoutDetails(IShellFolder* inner);

}  // namespace foldrix_test
