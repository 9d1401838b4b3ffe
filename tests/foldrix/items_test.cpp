// Items and item lists over the rows of the list.

#include "common/text.h"
#include "foldrix/view_fixture.h"

#include <commctrl.h>

namespace foldrix_test {
namespace {

using namespace foldrix;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

class EnumEvents : public RecordingEvents {
 public:
  std::vector<std::wstring> names;
  bool keepGoing = true;
  void EnumContentsProc(LONG_PTR absolute, LONG_PTR, bool&, bool& continueEnum) override {
    names.push_back(PathOf(FromAddress(absolute)));
    continueEnum = keepGoing;
  }
};

class ItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr,
                              nullptr, nullptr);
    view_ = std::make_unique<FolderView>(events_);
    ASSERT_TRUE(view_->Create(host_));
    for (auto name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) WriteFileBytes(scratch_ / name, "x");
    testing_support::CreateFolder(scratch_ / L"sub");
    testing_support::CreateFolder(scratch_ / L"sub\\inner");
    WriteFileBytes(scratch_ / L"sub\\plain.txt", "x");
    WriteFileBytes(scratch_ / L"sub\\hidden.txt", "x");
    ::SetFileAttributesW((scratch_ / L"sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = ::SysAllocString(scratch_.path().c_str());
    view_->SetFolder(value);
    ::VariantClear(&value);
  }
  void TearDown() override {
    view_.reset();
    ::DestroyWindow(host_);
    EXPECT_EQ(Counts().itemRecords, 0);
  }
  ScratchFolder scratch_{L"fdx-items"};
  HWND host_ = nullptr;
  EnumEvents events_;
  std::unique_ptr<FolderView> view_;
};

TEST_F(ItemsTest, SelectedItemsCountSelectedRowsInIndexOrder) {
  HWND list = view_->list();
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list, 2, LVIS_FOCUSED, LVIS_FOCUSED);
  ItemListCore selected(list, true);
  EXPECT_EQ(selected.Count(), 2);
  ASSERT_TRUE(selected.Item(0));
  EXPECT_EQ(selected.Item(0)->Index(), 0);
  EXPECT_EQ(selected.Item(1)->Index(), 3);
  EXPECT_FALSE(selected.Item(2));
  EXPECT_EQ(selected.Item(-1)->Index(), 2);  // the focused row, selected or not
  ItemListCore all(list, false);
  EXPECT_EQ(all.Count(), 5);
  EXPECT_EQ(all.Item(4)->Index(), 4);
  EXPECT_FALSE(all.Item(5));
  EXPECT_EQ(all.Item(-1)->Index(), 2);  // all items: the focused row too
  EXPECT_TRUE(selected.Item(1)->Selected());
  all.Item(1)->SetSelected(true);
  EXPECT_EQ(selected.Count(), 3);
}

TEST_F(ItemsTest, CheckedTogglesOnlyOnChange) {
  view_->SetCheckBoxes(kCheckBoxes);
  ItemListCore all(view_->list(), false);
  ItemPtr item = all.Item(1);
  EXPECT_FALSE(item->Checked());
  item->SetChecked(true);
  EXPECT_TRUE(item->Checked());
  item->SetChecked(true);  // no second toggle
  EXPECT_TRUE(item->Checked());
  item->SetChecked(false);
  EXPECT_FALSE(item->Checked());
}

TEST_F(ItemsTest, ItemsOfAddingItemKnowOnlyTheirList) {
  ASSERT_FALSE(events_.addingItems.empty());
  ItemPtr item = events_.addingItems.front();
  EXPECT_EQ(item->Index(), -1);
  EXPECT_FALSE(item->Selected());
  EXPECT_FALSE(item->Checked());
  EXPECT_FALSE(item->Icon(0, true));
  EXPECT_FALSE(item->DisplayName().empty());
  EXPECT_FALSE(item->FullPath().empty());
  EXPECT_TRUE(item->Attributes(SFGAO_FILESYSTEM) & SFGAO_FILESYSTEM);
  EXPECT_TRUE(item->pidlRel());
  EXPECT_TRUE(item->isfParent());
  ItemListCore all(view_->list(), false);
  EXPECT_TRUE(all.Item(0)->Icon(0, false));
  EXPECT_TRUE(all.Item(0)->EnsureVisible(true));
}

TEST_F(ItemsTest, EnumContentsFlags) {
  ItemPtr sub = ItemCore::ForList(Pidl(ILCreateFromPathW((scratch_ / L"sub").c_str())).get(),
                                  view_->list());
  EXPECT_FALSE(sub->EnumContents(0));
  EXPECT_TRUE(sub->EnumContents(32));
  ASSERT_EQ(events_.names.size(), 1u);
  EXPECT_TRUE(common::EqualsIgnoreCase(events_.names[0], scratch_ / L"sub\\inner"));
  events_.names.clear();
  EXPECT_TRUE(sub->EnumContents(224));
  EXPECT_EQ(events_.names.size(), 3u);
  events_.names.clear();
  EXPECT_TRUE(sub->EnumContents(64 | 128));
  EXPECT_EQ(events_.names.size(), 2u) << (events_.names.empty() ? L"" : events_.names[0]);
  events_.names.clear();
  events_.keepGoing = false;  // a handler that does nothing sees only the first item
  EXPECT_TRUE(sub->EnumContents(224));
  EXPECT_EQ(events_.names.size(), 1u);
}

TEST_F(ItemsTest, HitTestFindsTheRowUnderAPoint) {
  HWND list = view_->list();
  RECT bounds{};
  bounds.left = LVIR_LABEL;
  ASSERT_TRUE(ListView_GetItemRect(list, 0, &bounds, LVIR_LABEL));
  long element = -7;
  ItemPtr item = HitTest(list, bounds.left + 2, bounds.top + 2, &element);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Index(), 0);
  EXPECT_EQ(element, 4);
  element = -7;
  EXPECT_FALSE(HitTest(list, 390, 290, &element));
  EXPECT_EQ(element, -7);
}

}  // namespace
}  // namespace foldrix_test
