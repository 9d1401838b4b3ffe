#include "app/paths.h"

#include <gtest/gtest.h>

#include "app/registry.h"
#include "support/scratch.h"

namespace {

using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

TEST(PathText, AddBackslash) {
  struct Case {
    const wchar_t* path;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"C:\\LOGOS", L"C:\\LOGOS\\"},
      {L"C:\\LOGOS\\", L"C:\\LOGOS\\"},
      {L" C:\\A ", L"C:\\A\\"},
      {L"", L"\\"},
      {L"C:\\A \\", L"C:\\A \\"},  // already ends in a backslash: unchanged
  };
  for (const Case& c : cases) EXPECT_EQ(app::AddBackslash(c.path), c.expected) << c.path;
}

TEST(PathText, ExtensionAndFileName) {
  struct Case {
    const wchar_t* path;
    const wchar_t* extension;
    const wchar_t* fileName;
  };
  const Case cases[] = {
      {L"Blue.sls", L".sls", L"Blue.sls"},
      {L"Blue", L"", L"Blue"},
      {L"Set.1.SLS", L".SLS", L"Set.1.SLS"},
      {L"C:\\Logos\\Blue.SLS", L".SLS", L"Blue.SLS"},
      {L"C:\\Lo.gos\\Blue", L"", L"Blue"},
      {L"C:\\Logos\\\u00C9t\u00E9.sls", L".sls", L"\u00C9t\u00E9.sls"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::GetExtension(c.path), c.extension) << c.path;
    EXPECT_EQ(app::GetFileName(c.path), c.fileName) << c.path;
  }
}

TEST(PathText, ExtensionAndFileNameOfPathsBeyondTheOldLimit) {
  const std::wstring folder = L"C:\\" + std::wstring(300, L'a') + L"\\";
  EXPECT_EQ(app::GetExtension(folder + L"Night.sls"), L".sls");
  EXPECT_EQ(app::GetFileName(folder + L"Night.sls"), L"Night.sls");
  const std::wstring longName = std::wstring(280, L'b') + L".SLS";
  EXPECT_EQ(app::GetFileName(folder + longName), longName);
}

TEST(PathText, LastPathComponentDropsOneTrailingBackslashFromTheCallersPath) {
  std::wstring path = L"C:\\Pictures\\Logos\\";
  EXPECT_EQ(app::LastPathComponent(path), L"Logos");
  EXPECT_EQ(path, L"C:\\Pictures\\Logos");
  std::wstring bare = L"Logos";
  EXPECT_EQ(app::LastPathComponent(bare), L"Logos");
  std::wstring root = L"C:\\";
  EXPECT_EQ(app::LastPathComponent(root), L"C:");
}

TEST(Folders, WindowsStartupAndProgramFolders) {
  wchar_t expected[MAX_PATH];
  ::GetWindowsDirectoryW(expected, MAX_PATH);
  EXPECT_EQ(app::GetWindowsFolder(), expected);
  EXPECT_NE(app::GetWindowsFolder().back(), L'\\');

  const std::wstring program = app::GetProgramFolder();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), L'\\');
  EXPECT_TRUE(app::FileExists(program + L"app_tests.exe", 0));
}

TEST(Folders, StartupFolderFromTheShellFoldersKey) {
  constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell folders";
  const app::RegistryResult saved = app::ReadRegistryValue(HKEY_CURRENT_USER, kKey, L"Startup");
  testing_support::SetRegistryString(HKEY_CURRENT_USER, kKey, L"Startup", L"C:\\Users\\Q\\Startup");
  EXPECT_EQ(app::GetStartupFolder(), L"C:\\Users\\Q\\Startup\\");
  testing_support::SetRegistryString(HKEY_CURRENT_USER, kKey, L"Startup", L"");
  EXPECT_EQ(app::GetStartupFolder(), L"");
  app::DeleteRegistryValue(HKEY_CURRENT_USER, kKey, L"Startup");
  EXPECT_EQ(app::GetStartupFolder(), L"");
  if (const auto* text = std::get_if<std::wstring>(&saved))
    testing_support::SetRegistryString(HKEY_CURRENT_USER, kKey, L"Startup", text->c_str());
}

TEST(Folders, TempFileNamesAreNewEmptyFilesWithThePrefix) {
  const std::wstring first = app::MakeTempFileName();
  const std::wstring second = app::MakeTempFileName();
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(app::GetFileName(first).substr(0, 3), L"~tm");
  EXPECT_TRUE(testing_support::ReadFileBytes(first).empty());
  EXPECT_TRUE(app::FileExists(first, 0));
  ::DeleteFileW(first.c_str());
  ::DeleteFileW(second.c_str());
}

class Existence : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(scratch_ / L"plain.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(scratch_ / L"hidden.txt", "x"));
    ::SetFileAttributesW((scratch_ / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(WriteFileBytes(scratch_ / L"system.txt", "x"));
    ::SetFileAttributesW((scratch_ / L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(testing_support::CreateFolder(scratch_ / L"Sub"));
    ASSERT_TRUE(testing_support::CreateFolder(scratch_ / L"\u00C9t\u00E9"));
  }
  ScratchFolder scratch_;
};

TEST_F(Existence, AttributeMaskSelectsHiddenSystemAndFolders) {
  struct Case {
    std::wstring name;
    uint16_t mask;
    bool expected;
  };
  const Case cases[] = {
      {L"plain.txt", 0, true},
      {L"hidden.txt", 0, false},
      {L"hidden.txt", app::kMatchHidden, true},
      {L"system.txt", 0, false},
      {L"system.txt", app::kMatchSystem, true},
      {L"Sub", 0, false},
      {L"Sub", app::kMatchDirectory, true},
      {L"Sub\\", app::kMatchDirectory, true},
      {L"Sub\\", 0, false},  // a folder without files
      {L"", 0, true},        // the scratch folder itself holds plain.txt
      {L"\u00C9t\u00E9\\", app::kMatchDirectory, true},
      {L"missing.txt", 0xFF, false},
      {L"*.txt", 0, true},
      {L"*.bmp", 0xFF, false},
      {L"hid*", 0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::FileExists(scratch_ / c.name, c.mask), c.expected)
        << testing::PrintToString(c.name) << " mask " << c.mask;
}

TEST_F(Existence, EmptyUnreachableAndSystemPaths) {
  EXPECT_FALSE(app::FileExists(L"", 0xFF));
  EXPECT_FALSE(app::FileExists(std::wstring(L"\0abc", 4), 0xFF));
  EXPECT_FALSE(app::FileExists(L"Q:\\nowhere\\", app::kMatchDirectory));
  EXPECT_FALSE(app::FileExists(L"\\\\nohost\\share\\x", 0xFF));
  EXPECT_TRUE(app::FileExists(app::AddBackslash(app::GetWindowsFolder()), app::kMatchDirectory));
}

TEST_F(Existence, PathsLongerThanMaxPath) {
  std::wstring folder = scratch_.path();
  while (folder.size() < MAX_PATH + 40) {
    folder += std::wstring(50, L'd') + L"\\";
    ASSERT_TRUE(::CreateDirectoryW(app::LongPathForm(folder).c_str(), nullptr));
  }
  const std::wstring file = folder + L"LOGO.SYS";
  ASSERT_TRUE(WriteFileBytes(app::LongPathForm(file), "logo"));
  EXPECT_TRUE(app::FileExists(file, 0));
  EXPECT_TRUE(app::FileExists(folder, app::kMatchDirectory));
  EXPECT_FALSE(app::FileExists(folder + L"LOGOW.SYS", 0));
}

TEST_F(Existence, ShortPathOfALongNameWithSpaces) {
  const std::wstring folder = scratch_ / L"My Logo Pictures Folder";
  ASSERT_TRUE(testing_support::CreateFolder(folder));
  ASSERT_TRUE(WriteFileBytes(folder + L"\\Sunrise over the sea.bmp", "BM"));
  const std::wstring shortPath = app::GetShortPath(folder + L"\\Sunrise over the sea.bmp");
  ASSERT_FALSE(shortPath.empty());
  EXPECT_EQ(shortPath.find(L' '), std::wstring::npos) << shortPath;
  EXPECT_TRUE(app::FileExists(shortPath, 0));
  EXPECT_EQ(app::GetShortPath(scratch_ / L"missing file.bmp"), L"");
}

}  // namespace
