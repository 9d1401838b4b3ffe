// The list of logo sets: rename, delete and drop.
#include <shlobj.h>

#include "main_window_fixture.h"
#include "support/message_pump.h"
#include "ui/main/drop_target.h"

namespace {

using testing_support::MainWindowFixture;
using testing_support::PathExists;
using testing_support::WindowText;

class ListCommands : public MainWindowFixture {};

TEST_F(ListCommands, RenameMovesTheFolderAndTheEntryToItsSortedPlace) {
  MakeSet(L"Alpha");
  MakeSet(L"Blue");
  Setting(L"DefaultLogoSet", L"Blue");
  auto& window = Open();
  Select(L"Blue");
  window.MyList_BeforeLabelEdit();
  EXPECT_TRUE(window.MyList_AfterLabelEdit(L"Aardvark"));
  EXPECT_TRUE(PathExists(logos_ / L"Aardvark\\LOGO.SYS"));
  EXPECT_FALSE(PathExists(logos_ / L"Blue"));
  EXPECT_EQ(window.ListNames(), (std::vector<std::wstring>{L"Aardvark", L"Alpha"}));
  EXPECT_EQ(window.SelectedName(), L"Aardvark");
  EXPECT_EQ(window.LogoFileName(0), logos_ / L"Aardvark\\LOGO.SYS");
  EXPECT_EQ(WindowText(window.DefaultLogoLabel()), L"Aardvark") << "the installed set was renamed";
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"Aardvark");
}

TEST_F(ListCommands, KindChangeQuestionAnsweredNoKeepsEverything) {
  MakeSet(L"Blue");
  Setting(L"ConfirmLogoTypeChange", L"1");
  auto& window = Open();
  Select(L"Blue");
  window.MyList_BeforeLabelEdit();
  Answer({IDNO});
  EXPECT_FALSE(window.MyList_AfterLabelEdit(L"Blue.SLS"));
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].text,
            L"Would you like to change your logoset format from Multi Logo to Single Logo?");
  EXPECT_EQ(window.ListNames(), std::vector<std::wstring>{L"Blue"});
  EXPECT_EQ(IconOf(L"Blue"), ui::Principale::kIconMultiLogo);
  EXPECT_TRUE(PathExists(logos_ / L"Blue"));

  Answer({IDYES});
  EXPECT_TRUE(window.MyList_AfterLabelEdit(L"Blue.SLS"));
  EXPECT_EQ(IconOf(L"Blue.SLS"), ui::Principale::kIconSingleLogo);
  EXPECT_EQ(WindowText(window.LogoTypeLabel()), L"Single logo");

  window.MyList_BeforeLabelEdit();
  Answer({IDNO});
  EXPECT_FALSE(window.MyList_AfterLabelEdit(L"Blue"));
  EXPECT_EQ(asked_.back().text,
            L"Would you like to change your logoset format from Single Logo to Multi Logo?");
}

TEST_F(ListCommands, UnchangedNameRenamesNothingAndALetterCaseChangeRenames) {
  MakeSet(L"Blue");
  auto& window = Open();
  Select(L"Blue");
  window.MyList_BeforeLabelEdit();
  EXPECT_FALSE(window.MyList_AfterLabelEdit(L"Blue"));
  EXPECT_TRUE(asked_.empty());
  EXPECT_TRUE(window.MyList_AfterLabelEdit(L"BLUE"));
  EXPECT_EQ(window.ListNames(), std::vector<std::wstring>{L"BLUE"});
  EXPECT_TRUE(asked_.empty());
}

TEST_F(ListCommands, RenameOntoAnExistingOrInvalidNameIsRefused) {
  MakeSet(L"Blue");
  MakeSet(L"Red");
  auto& window = Open();
  for (const wchar_t* name : {L"Red", L"Bad:Name", L"Bad?"}) {
    Select(L"Blue");
    window.MyList_BeforeLabelEdit();
    asked_.clear();
    EXPECT_FALSE(window.MyList_AfterLabelEdit(name)) << name;
    ASSERT_EQ(asked_.size(), 1u) << name;
    EXPECT_EQ(asked_[0].text,
              L"Cannot rename folder. The folder already exists or has an invalid name");
    EXPECT_EQ(asked_[0].style & MB_ICONMASK, UINT{MB_ICONEXCLAMATION});
    EXPECT_EQ(window.ListNames(), (std::vector<std::wstring>{L"Blue", L"Red"}));
    EXPECT_TRUE(PathExists(logos_ / L"Blue\\LOGO.SYS"));
  }
}

TEST_F(ListCommands, DeleteSelectsTheNeighbour) {
  for (const wchar_t* name : {L"A", L"B", L"C"}) MakeSet(name);
  auto& window = Open();
  Select(L"C");
  KeyUp(VK_DELETE);
  EXPECT_FALSE(PathExists(logos_ / L"C"));
  EXPECT_EQ(window.ListNames(), (std::vector<std::wstring>{L"A", L"B"}));
  EXPECT_EQ(window.SelectedName(), L"B") << "the new last entry";
  EXPECT_EQ(testing_support::WindowText(window.NumLogoLabel()), L" 2 logo sets");

  MakeSet(L"C");
  window.LeggiDatiDisco();
  Select(L"A");
  Click(L"ToolDelete");
  EXPECT_EQ(window.SelectedName(), L"B") << "the entry that moved into first place";

  Select(L"B");
  Click(L"ToolDelete");
  Select(L"C");
  Click(L"ToolDelete");
  EXPECT_TRUE(window.ListNames().empty());
  EXPECT_EQ(window.LogoFileName(0), L"");
  EXPECT_EQ(testing_support::WindowText(window.NumLogoLabel()), L" 0 logo sets");
}

TEST_F(ListCommands, DeclinedDeletionKeepsTheEntry) {
  MakeSet(L"Blue");
  Setting(L"ConfirmLogosetDelete", L"1");
  auto& window = Open();
  Select(L"Blue");
  Answer({IDNO});
  Click(L"ToolDelete");
  EXPECT_EQ(asked_.size(), 1u);
  EXPECT_EQ(window.ListNames(), std::vector<std::wstring>{L"Blue"});
}

class Drop : public MainWindowFixture {
 protected:
  std::wstring Outside(const std::wstring& name, bool withLogo = true) {
    const std::wstring folder = outside_ / name;
    testing_support::CreateFolder(folder);
    if (withLogo) testing_support::WriteFileBytes(folder + L"\\LOGO.SYS", "dropped");
    return folder;
  }
  testing_support::ScratchFolder outside_{L"outside"};
};

TEST_F(Drop, NewFolderIsCopiedAddedAndSelected) {
  MakeSet(L"Zeta");
  auto& window = Open();
  window.MyList_OLEDragDrop({Outside(L"Blue")});
  EXPECT_TRUE(asked_.empty());
  EXPECT_EQ(testing_support::ReadFileBytes(logos_ / L"Blue\\LOGO.SYS"), "dropped");
  EXPECT_EQ(window.ListNames(), (std::vector<std::wstring>{L"Blue", L"Zeta"}));
  EXPECT_EQ(window.SelectedName(), L"Blue");
  EXPECT_EQ(window.LogoFileName(0), logos_ / L"Blue\\LOGO.SYS");
  EXPECT_EQ(testing_support::WindowText(window.NumLogoLabel()), L" 2 logo sets");
}

TEST_F(Drop, ExistingFolderDeclinedAndANewOneCopiesOnlyTheNewOne) {
  MakeSet(L"Blue");
  auto& window = Open();
  Answer({IDNO});
  window.MyList_OLEDragDrop({Outside(L"Green"), Outside(L"Blue")});
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].text, L"The selected folder 'Blue' already exist in your logo folder. "
                            L"Would you like to overwrite the existing files?");
  EXPECT_EQ(asked_[0].style, UINT{MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2});
  EXPECT_EQ(testing_support::ReadFileBytes(logos_ / L"Blue\\LOGO.SYS"), "logo") << "untouched";
  EXPECT_EQ(window.ListNames(), (std::vector<std::wstring>{L"Blue", L"Green"}));
  EXPECT_EQ(window.SelectedName(), L"") << "the last answer was No";
}

TEST_F(Drop, ExistingFolderAcceptedIsOverwritten) {
  MakeSet(L"Blue");
  auto& window = Open();
  Answer({IDYES});
  window.MyList_OLEDragDrop({Outside(L"Blue")});
  EXPECT_EQ(testing_support::ReadFileBytes(logos_ / L"Blue\\LOGO.SYS"), "dropped");
  EXPECT_EQ(window.ListNames(), std::vector<std::wstring>{L"Blue"});
  EXPECT_EQ(window.SelectedName(), L"Blue");
}

TEST_F(Drop, SingleLogoFolderAndPlainFiles) {
  auto& window = Open();
  const std::wstring file = outside_ / L"photo.jpg";
  testing_support::WriteFileBytes(file, "jpg");
  window.MyList_OLEDragDrop({file});
  EXPECT_TRUE(window.ListNames().empty());
  EXPECT_FALSE(PathExists(logos_ / L"photo.jpg"));

  window.MyList_OLEDragDrop({Outside(L"Night.SLS")});
  EXPECT_EQ(IconOf(L"Night.SLS"), ui::Principale::kIconSingleLogo);
}

TEST_F(Drop, TheShellsDataObjectGivesTheDroppedPaths) {
  const std::wstring folder = Outside(L"Shell Folder");
  PIDLIST_ABSOLUTE pidl = nullptr;
  ASSERT_EQ(::SHParseDisplayName(folder.c_str(), nullptr, &pidl, 0, nullptr), S_OK);
  IShellFolder* parent = nullptr;
  PCUITEMID_CHILD child = nullptr;
  ASSERT_EQ(::SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child), S_OK);
  IDataObject* data = nullptr;
  ASSERT_EQ(parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr,
                                  reinterpret_cast<void**>(&data)), S_OK);
  EXPECT_EQ(ui::ListDropTarget::DroppedPaths(data), std::vector<std::wstring>{folder});
  data->Release();
  parent->Release();
  ::CoTaskMemFree(pidl);
}

}  // namespace

namespace {

class DoubleClick : public testing_support::MainWindowFixture {
 protected:
  POINT PointOn(const std::wstring& name) {
    LVFINDINFOW find{LVFI_STRING, name.c_str()};
    const int index = ListView_FindItem(window_->MyList(), -1, &find);
    RECT bounds{};
    ListView_GetItemRect(window_->MyList(), index, &bounds, LVIR_LABEL);
    return POINT{bounds.left + 2, (bounds.top + bounds.bottom) / 2};
  }
};

TEST_F(DoubleClick, InstallsTheSetOrOpensTheEditorBySetting) {
  MakeSet(L"Blue");
  auto& window = Open();
  int editorOpened = 0;
  window.SetEditorOpener([&] { ++editorOpened; });
  Select(L"Blue");

  window.MyList_MouseDown(POINT{2, 300});  // empty space: nothing
  window.MyList_DblClick();
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"<Don't know>");

  window.MyList_MouseDown(PointOn(L"Blue"));
  window.MyList_DblClick();
  EXPECT_EQ(state_.settings.DefaultLogoSet, L"Blue");

  state_.settings.ActionOnDoubleClick = 1;
  window.MyList_DblClick();
  EXPECT_TRUE(testing_support::PumpMessagesUntil([&] { return editorOpened > 0; }));
  EXPECT_EQ(editorOpened, 1);
}

}  // namespace
