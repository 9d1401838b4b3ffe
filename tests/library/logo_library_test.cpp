#include "library/logo_library.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include "library_fixture.h"

namespace {

using testing_support::LibraryFixture;

TEST(LogoSets, KindByName) {
  struct Case {
    const wchar_t* name;
    bool single;
  };
  const Case cases[] = {{L"Old.Sls", true}, {L"Blue.SLS", true}, {L"blue.sls", true},
                        {L"SLS", false},    {L"Blue.SLS.bak", false}, {L"Blue", false},
                        {L".sls", true}};
  for (const Case& c : cases) EXPECT_EQ(library::IsSingleLogoSet(c.name), c.single) << c.name;
}

TEST(LogoSets, LogoPathsOfEachKind) {
  const auto multi = library::SetLogoPaths(L"C:\\LOGOS\\", L"Blue");
  EXPECT_EQ(multi[0], L"C:\\LOGOS\\Blue\\LOGO.SYS");
  EXPECT_EQ(multi[1], L"C:\\LOGOS\\Blue\\LOGOW.SYS");
  EXPECT_EQ(multi[2], L"C:\\LOGOS\\Blue\\LOGOS.SYS");
  const auto single = library::SetLogoPaths(L"C:\\LOGOS\\", L"Blue.sls");
  EXPECT_EQ(single[0], L"C:\\LOGOS\\Blue.sls\\LOGO.SYS");
  EXPECT_EQ(single[1], L"C:\\LOGOS\\LOGOW.SYS");
  EXPECT_EQ(single[2], L"C:\\LOGOS\\LOGOS.SYS");
  const auto none = library::SetLogoPaths(L"C:\\LOGOS\\", L"");  // no current entry
  EXPECT_EQ(none[0], L"C:\\LOGOS\\\\LOGO.SYS");
  EXPECT_EQ(none[1], L"C:\\LOGOS\\\\LOGOW.SYS");

  app::AppState state;
  state.settings.StartUpDrive = L"D:\\";
  state.WindowsFolder = L"C:\\WINDOWS\\";
  const auto installed = library::InstalledLogoPaths(state);
  EXPECT_EQ(installed[0], L"D:\\LOGO.SYS");
  EXPECT_EQ(installed[1], L"C:\\WINDOWS\\LOGOW.SYS");
  EXPECT_EQ(installed[2], L"C:\\WINDOWS\\LOGOS.SYS");
}

TEST(LogoSets, ScanListsSetFoldersInExplorersOrder) {
  LibraryFixture library;
  for (const wchar_t* name : {L"Set10", L"set2", L"Blue", L"Set1", L"\u00C9t\u00E9", L"night.SLS"})
    library.MakeSet(name, {L"LOGO.SYS"});
  testing_support::WriteFileBytes(library.Logos() + L"LOGOW.SYS", "default wait");
  testing_support::WriteFileBytes(library.Logos() + L"notes.txt", "not a set");

  const library::ScanResult scan = library::ScanLogoFolder(library.Logos());
  EXPECT_TRUE(scan.complete);
  // Accents sort with their letters, as Explorer sorts them.
  const std::vector<std::wstring> expected{L"Blue", L"\u00C9t\u00E9", L"night.SLS", L"Set1",
                                           L"set2", L"Set10"};
  EXPECT_EQ(scan.names, expected);
  EXPECT_EQ(library::SortedPosition(scan.names, L"Set3"), 5u);
  EXPECT_EQ(library::SortedPosition(scan.names, L"aaa"), 0u);
}

TEST(LogoSets, SortKeysOrderNamesAsExplorerDoes) {
  const std::vector<std::wstring> names{
      L"Set2",  L"set10", L"Set1",  L"Set01", L"Set 3", L"Set",   L"Seta",     L"SetB",
      L"2",     L"10",    L"a10b2", L"a10b10", L"a9b",  L"blue",  L"Blue.sls", L"Blue",
      L"Bl\u00FCe", L"\u00C9t\u00E9", L"Ete", L"zeta",  L"Z",     L"x-ray",  L"x_ray", L"x ray"};
  for (const std::wstring& a : names) {
    for (const std::wstring& b : names) {
      const int explorer = ::StrCmpLogicalW(a.c_str(), b.c_str());
      const int ours = library::NameSortKey(a).compare(library::NameSortKey(b));
      EXPECT_EQ(explorer < 0, ours < 0) << testing::PrintToString(a) << " " << testing::PrintToString(b);
      EXPECT_EQ(explorer > 0, ours > 0) << testing::PrintToString(a) << " " << testing::PrintToString(b);
    }
  }
}

TEST(LogoSets, ScanOfAnEmptyAndOfAMissingFolder) {
  LibraryFixture library;
  const library::ScanResult empty = library::ScanLogoFolder(library.Logos());
  EXPECT_TRUE(empty.complete);
  EXPECT_TRUE(empty.names.empty());
  const library::ScanResult missing = library::ScanLogoFolder(library.Logos() + L"gone\\");
  EXPECT_FALSE(missing.complete);
  EXPECT_TRUE(missing.names.empty());
}

TEST(LogoSets, InstalledSetIsFoundWhateverTheLetterCase) {
  const std::vector<std::wstring> names{L"Blue", L"Red"};
  EXPECT_EQ(library::FindInstalledSet(names, L"blue"), 0);
  EXPECT_EQ(library::FindInstalledSet(names, L"RED"), 1);
  EXPECT_EQ(library::FindInstalledSet(names, L"Green"), -1);
  EXPECT_EQ(library::FindInstalledSet(names, L""), -1);
}

TEST(LogoSets, ValidFolderNames) {
  for (const wchar_t* name : {L"Blue", L"Blue.SLS", L"Set 2", L"\u00C9t\u00E9", L"a.b.c", L"COM10"})
    EXPECT_TRUE(library::IsValidFolderName(name)) << name;
  for (const wchar_t* name : {L"", L".", L"..", L"Bad:Name", L"Bad?", L"a/b", L"a\\b", L"a*",
                              L"<x>", L"pipe|", L"quote\"", L"dot.", L"space ", L"CON", L"nul.txt",
                              L"com1", L"LPT9.sls", L"tab\t"})
    EXPECT_FALSE(library::IsValidFolderName(name)) << name;
  EXPECT_FALSE(library::IsValidFolderName(std::wstring(256, L'x')));
}

TEST(LogoSets, CountLabel) {
  EXPECT_EQ(library::LogoSetCountText(0), L" 0 logo sets");
  EXPECT_EQ(library::LogoSetCountText(1), L" 1 logo set");
  EXPECT_EQ(library::LogoSetCountText(12), L" 12 logo sets");
}

}  // namespace
