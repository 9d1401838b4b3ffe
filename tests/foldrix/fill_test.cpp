// Filling the list: filters, columns, size and date texts, sorting, check boxes.

#include <algorithm>

#include "foldrix/view_fixture.h"

#include <commctrl.h>

namespace foldrix_test {
namespace {

using namespace foldrix;
using testing_support::CreateFolder;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

class FillTest : public ViewFixture {
 protected:
  bool FillWithoutDetails(const std::wstring& path) {
    auto resolved = ResolveFolder(FolderValue{FolderValue::Kind::Text, path}, nullptr);
    if (!resolved) return false;
    ComPtr<IShellFolder> plain = WithoutDetails(resolved->folder.Get());
    return view_->FillList(plain.Get(), resolved->list.get(), false);
  }
  int RowOf(const std::wstring& path) {
    Pidl list(ILCreateFromPathW(path.c_str()));
    return view_->FindItemByPIDL(list.get());
  }
  std::wstring Joined() {
    std::wstring all;
    for (const auto& name : Names()) all += name + L"|";
    return all;
  }
};

TEST_F(FillTest, EditorPatternHidesPathFoldersButKeepsVirtualItems) {
  ScratchFolder scratch(L"fdx-filter");
  CreateFolder(scratch / L"sub");
  WriteFileBytes(scratch / L"a.gif", "x");
  WriteFileBytes(scratch / L"b.txt", "x");
  WriteFileBytes(scratch / L"c.BMP", "x");
  view_->stored().filter = L"*.gif;*.jpg;*.sys;*.bmp";
  Go(scratch.path());
  EXPECT_EQ(Names().size(), 2u) << Joined();
  EXPECT_GE(RowOf(scratch / L"a.gif"), 0);
  EXPECT_GE(RowOf(scratch / L"c.BMP"), 0);
  EXPECT_LT(RowOf(scratch / L"sub"), 0);

  Go(L"Desktop");
  Pidl computer;
  ASSERT_HRESULT_SUCCEEDED(::SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, computer.put()));
  EXPECT_GE(view_->FindItemByPIDL(computer.get()), 0) << Joined();
}

TEST_F(FillTest, ShowFlagsChooseFoldersAndFiles) {
  ScratchFolder scratch(L"fdx-show");
  CreateFolder(scratch / L"sub");
  WriteFileBytes(scratch / L"file.txt", "x");
  view_->stored().showFolders = false;
  Go(scratch.path());
  EXPECT_EQ(Names().size(), 1u);
  EXPECT_GE(RowOf(scratch / L"file.txt"), 0);
  view_->stored().showFolders = true;
  view_->stored().showFiles = false;
  view_->Refresh();
  EXPECT_EQ(Names().size(), 1u);
  EXPECT_GE(RowOf(scratch / L"sub"), 0);
  view_->stored().showProps = false;  // the flags are not consulted at all
  view_->Refresh();
  EXPECT_EQ(Names().size(), 2u);
}

TEST_F(FillTest, SizeTexts) {
  struct Case { ULONGLONG bytes; const wchar_t* text; } cases[] = {
      {0, L"0KB"}, {1, L"1KB"}, {1024, L"1KB"}, {1025, L"2KB"}, {1234 * 1024, L"1,234KB"},
      {5ull << 32, L"20,971,520KB"}};
  for (const auto& c : cases) EXPECT_EQ(SizeTextOfBytes(c.bytes), c.text) << c.bytes;
}

TEST_F(FillTest, FallbackColumnsForAFolderWithoutDetails) {
  ScratchFolder scratch(L"fdx-fallback");
  const std::pair<const wchar_t*, size_t> files[] = {
      {L"zero.bin", 0}, {L"one.bin", 1}, {L"kilo.bin", 1024}, {L"more.bin", 1025}};
  for (const auto& [name, size] : files) WriteFileBytes(scratch / name, std::string(size, 'x'));
  CreateFolder(scratch / L"sub");
  ASSERT_TRUE(FillWithoutDetails(scratch.path()));
  HWND header = ListView_GetHeader(view_->list());
  EXPECT_EQ(Header_GetItemCount(header), 4);  // name, Size, Type, Modified
  const wchar_t* expected[] = {L"0KB", L"1KB", L"1KB", L"2KB"};
  for (size_t i = 0; i < 4; ++i) {
    const int row = RowOf(scratch / files[i].first);
    ASSERT_GE(row, 0) << Joined();
    EXPECT_EQ(Text(row, 1), expected[i]) << files[i].first;
    EXPECT_FALSE(Text(row, 2).empty());
    EXPECT_NE(Text(row, 3).find(L':'), std::wstring::npos) << Text(row, 3);
  }
  const int sub = RowOf(scratch / L"sub");
  EXPECT_EQ(Text(sub, 1), L"");  // folders have no size

  // A drive root shows no modified text.
  Pidl computer;
  ASSERT_HRESULT_SUCCEEDED(::SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, computer.put()));
  ComPtr<IShellFolder> drives = WithoutDetails(BindFolder(computer.get()).Get());
  ASSERT_TRUE(view_->FillList(drives.Get(), computer.get(), false));
  const int drive = RowOf(L"C:\\");
  ASSERT_GE(drive, 0) << Joined();
  EXPECT_EQ(Text(drive, 3), L"");
  EXPECT_FALSE(Text(drive, 2).empty());
}

TEST_F(FillTest, DetailsColumnsComeFromTheFolder) {
  ScratchFolder scratch(L"fdx-details");
  WriteFileBytes(scratch / L"a.txt", "x");
  Go(scratch.path());
  HWND header = ListView_GetHeader(view_->list());
  EXPECT_GE(Header_GetItemCount(header), 4);
  const int row = RowOf(scratch / L"a.txt");
  ASSERT_GE(row, 0);
  EXPECT_FALSE(Text(row, 1).empty());
}

TEST_F(FillTest, CancelledNameColumnStillYieldsIt) {
  ScratchFolder scratch(L"fdx-col0");
  WriteFileBytes(scratch / L"a.txt", "x");
  events_.cancelColumnZero = true;
  Go(scratch.path());
  HWND header = ListView_GetHeader(view_->list());
  ASSERT_GE(Header_GetItemCount(header), 1);
  wchar_t title[64] = {};
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 64;
  ASSERT_TRUE(ListView_GetColumn(view_->list(), 0, &column));
  EXPECT_STRNE(title, L"");
  EXPECT_EQ(Text(RowOf(scratch / L"a.txt"), 0).substr(0, 1), L"a");
}

TEST_F(FillTest, ColumnClicksToggleTheSortAndTheKeySurvivesFills) {
  ScratchFolder scratch(L"fdx-sort");
  WriteFileBytes(scratch / L"a.txt", std::string(3000, 'x'));
  WriteFileBytes(scratch / L"b.txt", std::string(1, 'x'));
  WriteFileBytes(scratch / L"c.txt", std::string(2000, 'x'));
  Go(scratch.path());
  auto order = [&] {
    std::wstring letters;
    for (const auto& name : Names()) letters += name.substr(0, 1);
    return letters;
  };
  EXPECT_EQ(view_->sortKey(), kFirstColumnKey);
  EXPECT_EQ(order(), L"abc");
  view_->ColumnClick(0);  // the very first click on the name column sorts it descending
  EXPECT_EQ(order(), L"cba");
  EXPECT_EQ(view_->sortKey(), -kFirstColumnKey);
  // Within a column the order is the folder's own; a second click reverses it.
  view_->ColumnClick(1);
  EXPECT_EQ(view_->sortKey(), 1);
  std::wstring ascending = order();
  view_->ColumnClick(1);
  EXPECT_EQ(view_->sortKey(), -1);
  std::wstring descending = order();
  std::reverse(descending.begin(), descending.end());
  EXPECT_EQ(descending, ascending);
  const std::wstring before = order();
  view_->Refresh();  // a new fill keeps the order
  EXPECT_EQ(order(), before);
  EXPECT_EQ(view_->sortKey(), -1);
  view_->ColumnClick(2);
  view_->ColumnClick(0);  // column 0 after another column: ascending
  EXPECT_EQ(order(), L"abc");
  view_->ReSort(true);
  EXPECT_EQ(view_->sortKey(), kFirstColumnKey);
}

// Without item handlers the rows are sorted before they are inserted: the order must be
// the one the list window's own sort gives, for either direction, with filters applied.
TEST_F(FillTest, WithoutItemHandlersRowsComeInTheSameOrder) {
  ScratchFolder scratch(L"fdx-order");
  CreateFolder(scratch / L"Zeta");
  CreateFolder(scratch / L"alpha");
  for (auto name : {L"b.txt", L"A.txt", L"c10.txt", L"c2.txt", L"_x.txt", L"d.log"})
    WriteFileBytes(scratch / name, "x");
  Go(scratch.path());
  const auto sortedByTheList = Names();
  ASSERT_EQ(sortedByTheList.size(), 8u);
  events_.wantItems = false;
  view_->Refresh();
  EXPECT_EQ(Names(), sortedByTheList);
  view_->ColumnClick(0);
  const auto descending = Names();
  EXPECT_NE(descending, sortedByTheList);
  view_->Refresh();
  EXPECT_EQ(Names(), descending);
  view_->stored().filter = L"*.txt";
  view_->ColumnClick(0);
  view_->Refresh();
  std::vector<std::wstring> textFiles;
  for (const auto& name : sortedByTheList)
    if (name != L"Zeta" && name != L"alpha" && name.rfind(L"d", 0) != 0) textFiles.push_back(name);
  EXPECT_EQ(Names(), textFiles);
  EXPECT_EQ(textFiles.size(), 5u) << Joined();
  HWND list = view_->list();
  for (int row = 0; row < ListView_GetItemCount(list); ++row)
    EXPECT_EQ(ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) >> 12, 1u) << row;
}

TEST_F(FillTest, CheckBoxStatesSurvivePreserveStateAndNotNoCheckBoxes) {
  ScratchFolder scratch(L"fdx-check");
  for (auto name : {L"a.txt", L"b.txt", L"c.txt"}) WriteFileBytes(scratch / name, "x");
  Go(scratch.path());
  HWND list = view_->list();
  auto state = [&](int row) { return ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) >> 12; };
  view_->SetCheckBoxes(kCheckBoxes);
  EXPECT_TRUE(ListView_GetImageList(list, LVSIL_STATE));
  view_->ToggleCheck(1);
  EXPECT_EQ(state(1), 2u);
  view_->SetCheckBoxes(kNoCheckBoxesPreserveState);
  EXPECT_FALSE(ListView_GetImageList(list, LVSIL_STATE));
  EXPECT_EQ(state(1), 2u);
  // Someone else's state image list is set aside while the boxes are off.
  HIMAGELIST foreign = ImageList_Create(16, 16, ILC_COLOR32, 1, 1);
  ListView_SetImageList(list, foreign, LVSIL_STATE);
  EXPECT_FALSE(ListView_GetImageList(list, LVSIL_STATE));
  view_->SetCheckBoxes(kCheckBoxes);
  EXPECT_EQ(ListView_GetImageList(list, LVSIL_STATE), foreign);
  EXPECT_EQ(state(1), 2u);
  view_->SetCheckBoxes(kNoCheckBoxes);
  view_->SetCheckBoxes(kCheckBoxes);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(state(row), 1u) << row;
  view_->SetCheckBoxes(kNoCheckBoxes);
}

TEST_F(FillTest, EmptyAndMissingFoldersLeaveNothingBehind) {
  ScratchFolder scratch(L"fdx-empty");
  Go(scratch.path());
  EXPECT_EQ(Names().size(), 0u);
  EXPECT_EQ(view_->FindItemByPIDL(nullptr), -1);
  EXPECT_FALSE(view_->FillList(nullptr, nullptr, false));
}

}  // namespace
}  // namespace foldrix_test
