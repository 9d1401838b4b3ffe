// The current folder inside the root: the order of PathChanging and PathChanged.
#include "common/text.h"
#include "foldrix/view_fixture.h"

namespace foldrix_test {
namespace {

using namespace foldrix;
using testing_support::CreateFolder;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;
using Log = std::vector<std::wstring>;

const Log kDown = {L"PathChanging+", L"AddingColumn0", L"Items", L"PathChanged+"};
const Log kToRoot = {L"PathChanging-", L"AddingColumn0", L"Items", L"PathChanged-"};
const Log kFillOnly = {L"AddingColumn0", L"Items"};

std::wstring Print(const Log& log) {
  std::wstring text;
  for (const auto& entry : log) text += entry + L" ";
  return text;
}

// root/a/b/c, a file in each, the control's root at root.
class NavigationTest : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    for (auto path : {L"a", L"a\\b", L"a\\b\\c", L"x"}) {
      CreateFolder(scratch_ / path);
      WriteFileBytes(scratch_ / path + L"\\file.txt", "x");
    }
    WriteFileBytes(scratch_ / L"file.txt", "x");
    SetRoot(scratch_.path());
  }
  void SetRoot(const std::wstring& path) {
    VARIANT value = Text(path.c_str());
    view_->SetRootFolder(value);
    ::VariantClear(&value);
  }
  void SetStart(const std::wstring& path) {
    VARIANT value = Text(path.c_str());
    view_->SetStartFolder(value);
    ::VariantClear(&value);
  }
  std::wstring Current() const { return PathOf(view_->current()); }
  bool At(const std::wstring& relative) const {
    std::wstring expected = scratch_.path() + relative;
    if (expected.back() == L'\\') expected.pop_back();
    return common::EqualsIgnoreCase(Current(), expected);
  }
  void GoDeep() {
    Go(scratch_ / L"a\\b\\c");
    ASSERT_TRUE(At(L"a\\b\\c")) << Current();
    events_.log.clear();
  }
  ScratchFolder scratch_{L"fdx-nav"};
};

TEST_F(NavigationTest, FolderSetRaisesChangingFillChanged) {
  Go(scratch_ / L"a");
  EXPECT_EQ(events_.log, kDown) << Print(events_.log);
  events_.log.clear();
  Go(scratch_ / L"a");  // the same folder again is not refused
  EXPECT_EQ(events_.log, kDown) << Print(events_.log);
  events_.log.clear();
  Go(L"C:\\Windows");  // outside the root: ignored
  Go(scratch_ / L"missing");
  Go(L"");
  EXPECT_TRUE(events_.log.empty()) << Print(events_.log);
  EXPECT_TRUE(At(L"a"));
}

TEST_F(NavigationTest, GoUpLevels) {
  GoDeep();
  EXPECT_FALSE(view_->GoUp(4));  // above the root
  EXPECT_TRUE(events_.log.empty());
  EXPECT_TRUE(At(L"a\\b\\c"));
  EXPECT_TRUE(view_->GoUp(3));  // exactly to the root
  EXPECT_EQ(events_.log, kToRoot) << Print(events_.log);
  EXPECT_TRUE(At(L""));

  GoDeep();
  EXPECT_TRUE(view_->GoUp(-2));
  EXPECT_EQ(events_.log, kDown) << Print(events_.log);
  EXPECT_TRUE(At(L"a")) << Current();

  GoDeep();
  EXPECT_TRUE(view_->GoUp(0));
  EXPECT_TRUE(At(L"a\\b")) << Current();
}

TEST_F(NavigationTest, CancelledPathChangingChangesNothing) {
  GoDeep();
  events_.cancelPathChanging = true;
  EXPECT_FALSE(view_->GoUp(1));
  EXPECT_FALSE(view_->GoUp(3));
  EXPECT_FALSE(view_->Reset(true));
  Go(scratch_ / L"a");
  EXPECT_EQ(events_.log, (Log{L"PathChanging+", L"PathChanging-", L"PathChanging-", L"PathChanging+"}))
      << Print(events_.log);
  EXPECT_TRUE(At(L"a\\b\\c"));
}

TEST_F(NavigationTest, ResetToRootAndStart) {
  SetStart(scratch_ / L"a\\b");
  GoDeep();
  EXPECT_TRUE(view_->Reset(false));
  EXPECT_EQ(events_.log, kDown) << Print(events_.log);
  EXPECT_TRUE(At(L"a\\b"));
  events_.log.clear();
  EXPECT_TRUE(view_->Reset(true));
  EXPECT_EQ(events_.log, kToRoot) << Print(events_.log);
  events_.log.clear();
  EXPECT_TRUE(view_->Reset(true));  // already there: the fill's events only
  EXPECT_EQ(events_.log, kFillOnly) << Print(events_.log);
}

TEST_F(NavigationTest, StartFolderOutsideTheRootIsIgnored) {
  SetStart(scratch_ / L"a");
  SetStart(L"C:\\Windows");
  GoDeep();
  view_->Reset(false);
  EXPECT_TRUE(At(L"a")) << Current();
}

TEST_F(NavigationTest, EnteringASubfolder) {
  Go(scratch_ / L"a");
  events_.log.clear();
  Pidl b(ILCreateFromPathW((scratch_ / L"a\\b").c_str()));
  const int row = view_->FindItemByPIDL(b.get());
  ASSERT_GE(row, 0);
  EXPECT_TRUE(view_->EnterSubfolder(row));
  EXPECT_EQ(events_.log, kDown) << Print(events_.log);
  EXPECT_TRUE(At(L"a\\b"));
}

TEST_F(NavigationTest, RootChangesAtRunTime) {
  SetStart(scratch_ / L"a");
  view_->Show();  // at run time: the start folder
  EXPECT_EQ(events_.log, kDown) << Print(events_.log);
  EXPECT_TRUE(At(L"a"));
  events_.log.clear();

  SetRoot(scratch_.path() + L"a");  // contains the current folder: nothing to see
  EXPECT_TRUE(events_.log.empty()) << Print(events_.log);

  SetRoot(scratch_ / L"x");  // does not: the setter's pair around Reset's pair
  EXPECT_EQ(events_.log, (Log{L"PathChanging-", L"PathChanging-", L"AddingColumn0", L"Items",
                              L"PathChanged-", L"PathChanged-"}))
      << Print(events_.log);
  EXPECT_TRUE(At(L"x"));
  // The start folder followed the root.
  EXPECT_EQ(ComparePidls(view_->start(), view_->root()), 0);
}

TEST_F(NavigationTest, DontChangeFolderRefusesMoves) {
  GoDeep();
  view_->stored().dontChangeFolder = true;
  Go(scratch_ / L"a");
  EXPECT_FALSE(view_->GoUp(1));
  EXPECT_FALSE(view_->Reset(true));
  EXPECT_TRUE(events_.log.empty());
  EXPECT_TRUE(At(L"a\\b\\c"));
}

class DesktopRootTest : public ViewFixture {};

TEST_F(DesktopRootTest, DriveRootHasAParentBelowDesktopButNotAsRoot) {
  Go(L"C:\\");
  ASSERT_EQ(events_.hasParentChanged, std::vector<bool>{true});
  // "Desktop" exactly is accepted like any other name.
  events_.log.clear();
  Go(L"Desktop");
  EXPECT_EQ(events_.log, kToRoot) << Print(events_.log);

  VARIANT root = Text(L"C:\\");
  view_->SetRootFolder(root);
  ::VariantClear(&root);
  events_.hasParentChanged.clear();
  Go(L"C:\\");
  ASSERT_EQ(events_.hasParentChanged, std::vector<bool>{false});
}

}  // namespace
}  // namespace foldrix_test
