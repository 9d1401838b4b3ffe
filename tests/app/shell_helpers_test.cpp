#include "app/shell_helpers.h"

#include <gtest/gtest.h>

#include "common/handles.h"
#include "support/dialog_answerer.h"
#include "support/scratch.h"

namespace {

using testing_support::DialogAnswerer;
using testing_support::PathExists;
using testing_support::ScratchFolder;

TEST(ShellHelpers, RecycleFilesSendsTwoFoldersToTheRecycleBinInOneOperation) {
  ScratchFolder scratch;
  const std::wstring blue = scratch / L"Blue";
  const std::wstring night = scratch / L"Night.SLS";
  ASSERT_TRUE(testing_support::CreateFolder(blue));
  ASSERT_TRUE(testing_support::CreateFolder(night));
  ASSERT_TRUE(testing_support::WriteFileBytes(blue + L"\\LOGO.SYS", "logo"));

  DialogAnswerer answerer(IDYES);
  EXPECT_EQ(app::RecycleFiles({blue, night}), 0);
  answerer.stop();

  EXPECT_FALSE(PathExists(blue));
  EXPECT_FALSE(PathExists(night));
  if (const int blue = testing_support::TakeFromRecycleBin(L"Blue"); blue >= 0) {
    EXPECT_EQ(blue, 1) << "not in the Recycle Bin";
    EXPECT_EQ(testing_support::TakeFromRecycleBin(L"Night.SLS"), 1) << "not in the Recycle Bin";
  }
  EXPECT_LE(answerer.titles().size(), 1u) << "one confirmation at most for both folders";
}

TEST(ShellHelpers, RecycleFilesOfNothingDoesNothing) { EXPECT_EQ(app::RecycleFiles({}), 0); }

TEST(ShellHelpers, BrowseForFolderCancelledGivesEmptyText) {
  DialogAnswerer answerer(IDCANCEL);
  EXPECT_EQ(app::BrowseForFolder(nullptr, L"Choose the logo folder"), L"");
  answerer.stop();
  EXPECT_EQ(answerer.titles().size(), 1u);
}

TEST(ShellHelpers, EnableControlsAndSelectAllText) {
  common::UniqueWindow parent(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100,
                                                nullptr, nullptr, nullptr, nullptr));
  HWND first = ::CreateWindowExW(0, L"EDIT", L"Blue sky", WS_CHILD, 0, 0, 100, 20, parent.get(),
                                 nullptr, nullptr, nullptr);
  HWND second = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD, 0, 30, 100, 20, parent.get(),
                                  nullptr, nullptr, nullptr);
  app::EnableControls(false, {first, second});
  EXPECT_FALSE(::IsWindowEnabled(first));
  EXPECT_FALSE(::IsWindowEnabled(second));
  app::EnableControls(true, {first, second});
  EXPECT_TRUE(::IsWindowEnabled(first));
  EXPECT_TRUE(::IsWindowEnabled(second));

  app::SelectAllText(first);
  DWORD start = 99, end = 99;
  ::SendMessageW(first, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 8u);
}

}  // namespace
