#include "library/delete_set.h"

#include <gtest/gtest.h>

#include <vector>

#include "library_fixture.h"
#include "support/dialog_answerer.h"
#include "ui/common/message_box.h"

namespace {

using testing_support::LibraryFixture;
using testing_support::PathExists;

class Label final : public library::InstalledSetLabel {
 public:
  std::wstring Caption() const override { return caption; }
  void SetCaption(const std::wstring& text) override { caption = text; }
  std::wstring caption = L"Blue";
};

class DeleteSet : public ::testing::Test {
 protected:
  DeleteSet() {
    lib_.MakeSet(L"Blue", {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"});
    lib_.MakeSet(L"Red", {L"LOGO.SYS"});
  }
  bool Delete(const std::wstring& name) {
    return library::EliminaLogoSet(nullptr, lib_.Logos() + name, name, lib_.state.settings, label_);
  }
  // Answers every question with the given button and records the questions.
  ui::ScopedMessageHandler Answer(int button) {
    return ui::ScopedMessageHandler([this, button](const ui::MessageRequest& request) {
      asked_.push_back(request);
      return button;
    });
  }

  LibraryFixture lib_;
  Label label_;
  std::vector<ui::MessageRequest> asked_;
};

TEST_F(DeleteSet, AskedAndDeclinedKeepsEverything) {
  lib_.state.settings.ConfirmLogosetDelete = 1;
  auto answer = Answer(IDNO);
  EXPECT_FALSE(Delete(L"Blue"));
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0].text, L"Are you sure you want to delete Blue logo set? This operation will "
                            L"delete all files contained in '" + lib_.Logos() + L"Blue' folder!");
  EXPECT_EQ(asked_[0].title, L"Confirm deletions");
  EXPECT_EQ(asked_[0].style, UINT{MB_YESNO | MB_ICONQUESTION});
  EXPECT_TRUE(PathExists(lib_.Logos() + L"Blue\\LOGO.SYS"));
  EXPECT_EQ(label_.caption, L"Blue");
}

TEST_F(DeleteSet, ConfirmedOrUnaskedDeletionRemovesFilesAndFolder) {
  lib_.state.settings.ConfirmLogosetDelete = 1;
  {
    auto answer = Answer(IDYES);
    EXPECT_TRUE(Delete(L"Blue"));
  }
  EXPECT_FALSE(PathExists(lib_.Logos() + L"Blue"));
  EXPECT_EQ(label_.caption, L"<Don't know>") << "the installed set was deleted";

  lib_.state.settings.ConfirmLogosetDelete = 0;
  auto answer = Answer(IDNO);
  label_.caption = L"Blue";
  EXPECT_TRUE(Delete(L"Red"));
  EXPECT_EQ(asked_.size(), 1u) << "no question without the confirmation setting";
  EXPECT_FALSE(PathExists(lib_.Logos() + L"Red"));
  EXPECT_EQ(label_.caption, L"Blue") << "another set than the installed one";
}

TEST_F(DeleteSet, SubfoldersKeepTheSetFolder) {
  testing_support::CreateFolder(lib_.Logos() + L"Blue\\Sources");
  testing_support::WriteFileBytes(lib_.Logos() + L"Blue\\Sources\\photo.jpg", "jpg");
  EXPECT_TRUE(Delete(L"Blue"));
  EXPECT_FALSE(PathExists(lib_.Logos() + L"Blue\\LOGO.SYS"));
  EXPECT_TRUE(PathExists(lib_.Logos() + L"Blue\\Sources\\photo.jpg"));
}

TEST_F(DeleteSet, IntoTheRecycleBin) {
  lib_.state.settings.DeleteInTheRecycleBin = 1;
  testing_support::DialogAnswerer shellConfirmation(IDYES);
  EXPECT_TRUE(Delete(L"Blue"));
  shellConfirmation.stop();
  EXPECT_FALSE(PathExists(lib_.Logos() + L"Blue"));
  if (const int wait = testing_support::TakeFromRecycleBin(L"LOGOW.SYS"); wait >= 0) {
    EXPECT_EQ(wait, 1);
    EXPECT_EQ(testing_support::TakeFromRecycleBin(L"LOGO.SYS"), 1) << "restorable from the bin";
    EXPECT_EQ(testing_support::TakeFromRecycleBin(L"LOGOS.SYS"), 1);
  }
}

}  // namespace
