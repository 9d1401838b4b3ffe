// Identifier lists and folder values against the real shell.
#include <windows.h>
#include <olectl.h>
#include <shlobj.h>

#include "common/text.h"
#include "foldrix/view_fixture.h"

namespace foldrix_test {
namespace {

using namespace foldrix;

Pidl FromPath(const std::wstring& path) { return Pidl(ILCreateFromPathW(path.c_str())); }

Pidl Special(int number) {
  Pidl list;
  EXPECT_HRESULT_SUCCEEDED(::SHGetFolderLocation(nullptr, number, nullptr, 0, list.put()));
  return list;
}

FolderValue TextValue(const wchar_t* text) {
  FolderValue value;
  value.kind = FolderValue::Kind::Text;
  value.text = text;
  return value;
}

TEST(IdentifierLists, CountSizeAndEntries) {
  testing_support::ScratchFolder scratch(L"fdx-ids");
  Pidl list = FromPath(scratch.path());
  ASSERT_TRUE(list);
  const int count = IdCount(list.get());
  EXPECT_GE(count, 3);  // My Computer, C:\, ..., the scratch folder
  EXPECT_EQ(IdListSize(list.get()), ILGetSize(list.get()));
  EXPECT_EQ(IdCount(nullptr), 0);
  EXPECT_EQ(IdListSize(nullptr), 0u);
  // An address that is no list reads as invalid rather than crashing.
  EXPECT_EQ(IdListSize(FromAddress(0x10)), 0u);
  EXPECT_EQ(IdListSize(FromAddress(static_cast<LONG_PTR>(0x7FFF0000))), 0u);

  ChildPidl first = CopyEntry(list.get(), 1);
  ChildPidl last = CopyEntry(list.get(), -1);
  ChildPidl beyond = CopyEntry(list.get(), count + 5);
  EXPECT_EQ(ILGetSize(last.get()), ILGetSize(beyond.get()));
  EXPECT_EQ(0, memcmp(last.get(), beyond.get(), ILGetSize(last.get())));
  EXPECT_EQ(0, memcmp(first.get(), list.get(), first.get()->mkid.cb));

  Pidl parent;
  ChildPidl entry;
  ASSERT_TRUE(ParentAndLast(list.get(), parent, entry));
  EXPECT_EQ(IdCount(parent.get()), count - 1);
  Pidl rebuilt = CombinePidls(parent.get(), entry.get());
  EXPECT_EQ(ComparePidls(rebuilt.get(), list.get()), 0);
}

TEST(IdentifierLists, ParentOfOneEntryListIsTheDesktopList) {
  Pidl computer = Special(CSIDL_DRIVES);
  ASSERT_EQ(IdCount(computer.get()), 1);
  Pidl parent;
  ChildPidl last;
  ASSERT_TRUE(ParentAndLast(computer.get(), parent, last));
  ASSERT_TRUE(parent);  // an empty list, not nothing
  EXPECT_EQ(IdCount(parent.get()), 0);
  EXPECT_TRUE(IsDesktop(parent.get()));
  Pidl desktop = NewDesktopList();
  EXPECT_FALSE(ParentAndLast(desktop.get(), parent, last));
  EXPECT_FALSE(parent);
}

TEST(IdentifierLists, ComparePidls) {
  testing_support::ScratchFolder scratch(L"fdx-cmp");
  Pidl desktop = NewDesktopList();
  Pidl folder = FromPath(scratch.path());
  testing_support::CreateFolder(scratch / L"inner");
  Pidl inner = FromPath(scratch / L"inner");
  Pidl computer = Special(CSIDL_DRIVES);
  struct Case { PCIDLIST_ABSOLUTE a, b; int expected; } cases[] = {
      {desktop.get(), folder.get(), 1},   {desktop.get(), computer.get(), 1},
      {folder.get(), folder.get(), 0},    {desktop.get(), desktop.get(), 0},
      {folder.get(), inner.get(), 1},     {computer.get(), inner.get(), 1},
      {inner.get(), folder.get(), -1},    {folder.get(), desktop.get(), -1},
      {nullptr, folder.get(), -2},        {folder.get(), nullptr, -2},
      {FromAddress(0x10), folder.get(), -2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComparePidls(c.a, c.b), c.expected)
        << DisplayNameOf(c.a) << " / " << DisplayNameOf(c.b);
}

TEST(IdentifierLists, BindFolderStopsAtTheDeepestReachableFolder) {
  testing_support::ScratchFolder scratch(L"fdx-bind");
  testing_support::CreateFolder(scratch / L"sub");
  Pidl sub = FromPath(scratch / L"sub");
  ComPtr<IShellFolder> parent;
  ComPtr<IShellFolder> folder = BindFolder(sub.get(), &parent);
  ASSERT_TRUE(folder);
  ASSERT_TRUE(parent);
  Pidl desktop = NewDesktopList();
  ComPtr<IShellFolder> none;
  EXPECT_TRUE(BindFolder(desktop.get(), &none));
  EXPECT_FALSE(none);  // the desktop has no parent
  EXPECT_FALSE(BindFolder(nullptr));
}

TEST(SpecialFolders, NamesInAnyCase) {
  struct Case { const wchar_t* name; int number; } cases[] = {
      {L"my documents", 5}, {L"My Documents", 5}, {L"MY COMPUTER", 17}, {L"my Computer", 17},
      {L"Control Panel", 3}, {L"CONTROLPANEL", 3}, {L"commonstartmenu", 22},
      {L"Desktop", 0}, {L"desktop", 0}, {L"Recycle Bin", 10}, {L"history", 34},
      {L"no such folder", -1}, {L"", -1}};
  for (const auto& c : cases) EXPECT_EQ(SpecialFolderNumber(c.name), c.number) << c.name;

  auto computer = SpecialFolderFromValue(TextValue(L"mY cOmPuTeR"), nullptr);
  ASSERT_TRUE(computer && *computer);
  Pidl expected = Special(CSIDL_DRIVES);
  EXPECT_EQ(ComparePidls(computer->get(), expected.get()), 0);
  EXPECT_FALSE(SpecialFolderFromValue(TextValue(L"C:\\"), nullptr));
}

TEST(SpecialFolders, SystemTempAndWindowsArePaths) {
  auto windows = SpecialFolderFromValue(TextValue(L"WINDOWS"), nullptr);
  ASSERT_TRUE(windows && *windows);
  wchar_t path[MAX_PATH] = {};
  ::GetWindowsDirectoryW(path, MAX_PATH);
  EXPECT_TRUE(common::EqualsIgnoreCase(PathOf(windows->get()), path));
  auto temp = SpecialFolderFromValue(TextValue(L"temp"), nullptr);
  ASSERT_TRUE(temp && *temp);
  auto system = SpecialFolderFromValue(TextValue(L"System"), nullptr);
  ASSERT_TRUE(system && *system);
}

TEST(FolderValues, PathsResolveOnlyForFolders) {
  testing_support::ScratchFolder scratch(L"fdx-res");
  testing_support::WriteFileBytes(scratch / L"file.txt", "x");
  auto folder = ResolveFolder(TextValue(scratch.path().c_str()), nullptr);
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->folder);
  EXPECT_TRUE(common::EqualsIgnoreCase(PathOf(folder->list.get()) + L"\\", scratch.path()));
  std::wstring noSlash = scratch.path();
  noSlash.pop_back();
  EXPECT_TRUE(ResolveFolder(TextValue(noSlash.c_str()), nullptr));
  EXPECT_FALSE(ResolveFolder(TextValue((scratch / L"file.txt").c_str()), nullptr));
  EXPECT_FALSE(ResolveFolder(TextValue((scratch / L"missing").c_str()), nullptr));

  auto drive = ResolveFolder(TextValue(L"C:"), nullptr);
  ASSERT_TRUE(drive);
  Pidl root = FromPath(L"C:\\");
  EXPECT_EQ(ComparePidls(drive->list.get(), root.get()), 0);
}

TEST(FolderValues, NumbersAndAddressesOfEveryVariantType) {
  testing_support::ScratchFolder scratch(L"fdx-var");
  Pidl folder = FromPath(scratch.path());
  const auto address = ToAddress(folder.get());
  Pidl computer = Special(CSIDL_DRIVES);

  auto check = [&](VARIANT value, PCIDLIST_ABSOLUTE expected, const char* what) {
    auto resolved = ResolveFolder(ReadFolderValue(value), nullptr);
    ASSERT_TRUE(resolved) << what;
    EXPECT_EQ(ComparePidls(resolved->list.get(), expected), 0) << what;
    EXPECT_NE(resolved->list.get(), expected) << what << ": a copy, not the list itself";
  };
  VARIANT v;
  v.vt = VT_I2; v.iVal = 17; check(v, computer.get(), "VT_I2 17");
  v.vt = VT_I4; v.lVal = 17; check(v, computer.get(), "VT_I4 17");
  v.vt = VT_I8; v.llVal = 17; check(v, computer.get(), "VT_I8 17");
  v.vt = VT_R8; v.dblVal = 17.0; check(v, computer.get(), "VT_R8 17");
  v.vt = VT_I8; v.llVal = address; check(v, folder.get(), "VT_I8 address");
  v.vt = VT_R8; v.dblVal = static_cast<double>(address); check(v, folder.get(), "VT_R8 address");
  LONG_PTR byRef = address;
  v.vt = VT_I8 | VT_BYREF; v.pllVal = reinterpret_cast<LONGLONG*>(&byRef);
  check(v, folder.get(), "VT_BYREF VT_I8 address");
  LONG number = 17;
  v.vt = VT_I4 | VT_BYREF; v.plVal = &number; check(v, computer.get(), "VT_BYREF VT_I4 17");

  FolderValue numberValue = ReadFolderValue(VARIANT{});
  EXPECT_EQ(numberValue.kind, FolderValue::Kind::None);
  v.vt = VT_R8; v.dblVal = 17.5;
  EXPECT_EQ(ReadFolderValue(v).kind, FolderValue::Kind::None);
  v.vt = VT_I4; v.lVal = 256;
  EXPECT_EQ(ReadFolderValue(v).kind, FolderValue::Kind::Address);
  // A large number that is no list: never handed to the shell as a folder number.
  v.vt = VT_I4; v.lVal = 0x4000 + 17;
  EXPECT_FALSE(ResolveFolder(ReadFolderValue(v), nullptr));
}

// Whole numbers outside 0-255 are list addresses of this build's width. A 32-bit build
// reads a negative Long (an address above 2 GB, as a script passes it) as unsigned;
// the 64-bit build, where such a Long can be no address of ours, keeps its sign.
TEST(FolderValues, AddressesTakeThisBuildsWidth) {
  struct Case {
    VARTYPE type;
    long long number;
    ULONG_PTR expected64, expected32;
  } cases[] = {
      {VT_I4, static_cast<LONG>(0x80001000u), static_cast<ULONG_PTR>(-0x7FFFF000LL), 0x80001000u},
      {VT_I4, -1, static_cast<ULONG_PTR>(-1LL), 0xFFFFFFFFu},
      {VT_R8, 0x80001000LL, 0x80001000u, 0x80001000u},
      {VT_I8, -4, static_cast<ULONG_PTR>(-4LL), 0xFFFFFFFCu},
  };
  for (const auto& c : cases) {
    VARIANT v;
    v.vt = c.type;
    if (c.type == VT_I4) v.lVal = static_cast<LONG>(c.number);
    if (c.type == VT_I8) v.llVal = c.number;
    if (c.type == VT_R8) v.dblVal = static_cast<double>(c.number);
    const FolderValue value = ReadFolderValue(v);
    EXPECT_EQ(value.kind, FolderValue::Kind::Address) << c.number;
    const ULONG_PTR expected = sizeof(LONG_PTR) == 8 ? c.expected64 : c.expected32;
    EXPECT_EQ(static_cast<ULONG_PTR>(value.address), expected) << c.number;
  }
}

TEST(ShellQueries, NamesPathsAttributesIconsVersions) {
  testing_support::ScratchFolder scratch(L"fdx-q");
  testing_support::WriteFileBytes(scratch / L"note.txt", "hello");
  Pidl file = FromPath(scratch / L"note.txt");
  EXPECT_EQ(DisplayNameOf(file.get()).substr(0, 4), L"note");
  EXPECT_TRUE(common::EqualsIgnoreCase(PathOf(file.get()), scratch / L"note.txt"));
  EXPECT_EQ(PathOf(Special(CSIDL_DRIVES).get()), L"");
  EXPECT_EQ(DisplayNameOf(FromAddress(0x10)), L"");
  EXPECT_TRUE(AttributesOf(file.get(), SFGAO_FILESYSTEM) & SFGAO_FILESYSTEM);
  EXPECT_FALSE(AttributesOf(file.get(), SFGAO_FOLDER) & SFGAO_FOLDER);
  EXPECT_TRUE(SystemImageList(true));
  EXPECT_TRUE(SystemImageList(false));
  ComPtr<IPictureDisp> icon = IconPicture(file.get(), kSelected | kShortcutOverlay, true);
  ASSERT_TRUE(icon);
  ComPtr<IPicture> picture;
  ASSERT_HRESULT_SUCCEEDED(icon.As(&picture));
  SHORT type = 0;
  picture->get_Type(&type);
  EXPECT_EQ(type, PICTYPE_ICON);
  EXPECT_FALSE(IconPicture(nullptr, 0, true));
  EXPECT_GT(ComponentVersion(L"comctl32.dll"), 4.0f);
  EXPECT_GT(ComponentVersion(L"shell32.dll"), 4.0f);
  EXPECT_EQ(ComponentVersion(L"no-such.dll"), 0.0f);

  // Every kind of string record of a display name reads the same text.
  ComPtr<IShellFolder> parent = BindFolder(FromPath(scratch.path()).get());
  ChildPidl entry = CopyEntry(file.get(), -1);
  EXPECT_EQ(NameInFolder(parent.Get(), entry.get(), SHGDN_INFOLDER | SHGDN_FORPARSING), L"note.txt");
}

}  // namespace
}  // namespace foldrix_test
