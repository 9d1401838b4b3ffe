#include "library/install.h"

#include <gtest/gtest.h>

#include <map>

#include "common/handles.h"
#include "library_fixture.h"

namespace {

using testing_support::LibraryFixture;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

constexpr DWORD kBootAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Every file of a folder with its contents and attributes, to prove nothing changed.
std::map<std::wstring, std::pair<std::string, DWORD>> Snapshot(const std::wstring& folder) {
  std::map<std::wstring, std::pair<std::string, DWORD>> files;
  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(::FindFirstFileW((folder + L"*").c_str(), &entry));
  if (!find) return files;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    files[entry.cFileName] = {ReadFileBytes(folder + entry.cFileName), entry.dwFileAttributes};
  } while (::FindNextFileW(find.get(), &entry));
  return files;
}

class Install : public ::testing::Test {
 protected:
  void SetUp() override {
    // What Windows shows now: an old logo set, the start-up logo protected as usual.
    WriteFileBytes(lib_.Drive() + L"LOGO.SYS", "old start-up");
    ::SetFileAttributesW((lib_.Drive() + L"LOGO.SYS").c_str(), kBootAttributes);
    WriteFileBytes(lib_.Windows() + L"LOGOW.SYS", "old wait");
    WriteFileBytes(lib_.Windows() + L"LOGOS.SYS", "old shut-down");
    WriteFileBytes(lib_.Logos() + L"LOGOW.SYS", "default wait");
    WriteFileBytes(lib_.Logos() + L"LOGOS.SYS", "default shut-down");
  }
  std::string Installed(int i) {
    const wchar_t* names[] = {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"};
    return ReadFileBytes((i == 0 ? lib_.Drive() : lib_.Windows()) + names[i]);
  }
  void ExpectNothingChanged(const library::InstallOutcome& outcome) {
    EXPECT_FALSE(outcome.installed);
    EXPECT_EQ(Snapshot(lib_.Drive()), drive_);
    EXPECT_EQ(Snapshot(lib_.Windows()), windows_);
  }
  void TakeSnapshots() {
    drive_ = Snapshot(lib_.Drive());
    windows_ = Snapshot(lib_.Windows());
  }

  LibraryFixture lib_;
  std::map<std::wstring, std::pair<std::string, DWORD>> drive_, windows_;
};

TEST_F(Install, MultiLogoSetReplacesAllThreeFilesEvenAProtectedStartUpLogo) {
  lib_.MakeSet(L"Blue", {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"});
  const auto outcome = library::InstallLogoSet(lib_.state, L"Blue");
  ASSERT_TRUE(outcome.installed) << outcome.Message(L"Blue");
  EXPECT_EQ(Installed(0), LibraryFixture::Contents(L"Blue", L"LOGO.SYS"));
  EXPECT_EQ(Installed(1), LibraryFixture::Contents(L"Blue", L"LOGOW.SYS"));
  EXPECT_EQ(Installed(2), LibraryFixture::Contents(L"Blue", L"LOGOS.SYS"));
  // Only the three logos are left: no temporary or backup files.
  EXPECT_EQ(Snapshot(lib_.Drive()).size(), 1u);
  EXPECT_EQ(Snapshot(lib_.Windows()).size(), 2u);
  EXPECT_EQ(::GetFileAttributesW((lib_.Drive() + L"LOGO.SYS").c_str()) & kBootAttributes, 0u);
}

TEST_F(Install, SingleLogoSetTakesTheLogoFoldersOwnWaitAndShutDownScreens) {
  lib_.MakeSet(L"Blue.sls", {L"LOGO.SYS"});
  ASSERT_TRUE(library::InstallLogoSet(lib_.state, L"Blue.sls").installed);
  EXPECT_EQ(Installed(0), LibraryFixture::Contents(L"Blue.sls", L"LOGO.SYS"));
  EXPECT_EQ(Installed(1), "default wait");
  EXPECT_EQ(Installed(2), "default shut-down");
}

TEST_F(Install, WithTheSynchronizerOnlyTheStartUpLogoChanges) {
  lib_.state.settings.SynchronizeLogos = 1;
  lib_.MakeSet(L"Green", {L"LOGO.SYS"});  // no wait or shut-down screens at all
  ::SetFileAttributesW((lib_.Windows() + L"LOGOW.SYS").c_str(), kBootAttributes);
  TakeSnapshots();
  ASSERT_TRUE(library::InstallLogoSet(lib_.state, L"Green").installed);
  EXPECT_EQ(Installed(0), LibraryFixture::Contents(L"Green", L"LOGO.SYS"));
  EXPECT_EQ(Snapshot(lib_.Windows()), windows_) << "the Windows folder is never touched";
}

TEST_F(Install, AnAbsentLogoLeavesItsInstalledFileRemoved) {
  lib_.MakeSet(L"Half", {L"LOGO.SYS", L"LOGOS.SYS"});
  ASSERT_TRUE(library::InstallLogoSet(lib_.state, L"Half").installed);
  EXPECT_EQ(Installed(0), LibraryFixture::Contents(L"Half", L"LOGO.SYS"));
  EXPECT_FALSE(testing_support::PathExists(lib_.Windows() + L"LOGOW.SYS"));
  EXPECT_EQ(Installed(2), LibraryFixture::Contents(L"Half", L"LOGOS.SYS"));
}

TEST_F(Install, AMissingSetFolderChangesNothing) {
  TakeSnapshots();
  const auto outcome = library::InstallLogoSet(lib_.state, L"Gone");
  ExpectNothingChanged(outcome);
  EXPECT_EQ(outcome.failedFile, lib_.Logos() + L"Gone\\LOGO.SYS");
  EXPECT_NE(outcome.Message(L"Gone").find(L"could not be installed"), std::wstring::npos);
}

TEST_F(Install, AnUnreadableLogoChangesNothing) {
  lib_.MakeSet(L"Locked", {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"});
  TakeSnapshots();
  const std::wstring source = lib_.Logos() + L"Locked\\LOGOS.SYS";
  common::UniqueHandle held(::CreateFileW(source.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  const auto outcome = library::InstallLogoSet(lib_.state, L"Locked");
  ExpectNothingChanged(outcome);
  EXPECT_EQ(outcome.failedFile, source);
  EXPECT_EQ(outcome.error, DWORD{ERROR_SHARING_VIOLATION});
}

TEST_F(Install, AnInstalledFileHeldOpenChangesNothing) {
  lib_.MakeSet(L"Blue", {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"});
  TakeSnapshots();
  const std::wstring destination = lib_.Windows() + L"LOGOS.SYS";
  common::UniqueHandle held(::CreateFileW(destination.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  const auto outcome = library::InstallLogoSet(lib_.state, L"Blue");
  held.reset();
  ExpectNothingChanged(outcome);
  EXPECT_EQ(outcome.failedFile, destination);
}

TEST_F(Install, InstallingTheSameSetAgainCopiesItAgain) {
  lib_.MakeSet(L"Blue", {L"LOGO.SYS", L"LOGOW.SYS", L"LOGOS.SYS"});
  ASSERT_TRUE(library::InstallLogoSet(lib_.state, L"Blue").installed);
  WriteFileBytes(lib_.Logos() + L"Blue\\LOGO.SYS", "edited");
  ASSERT_TRUE(library::InstallLogoSet(lib_.state, L"Blue").installed);
  EXPECT_EQ(Installed(0), "edited");
}

TEST_F(Install, ToggleReadOnlyAttribClearsWhatAnInstallationReplaces) {
  ::SetFileAttributesW((lib_.Windows() + L"LOGOS.SYS").c_str(), FILE_ATTRIBUTE_READONLY);
  library::ToggleReadOnlyAttrib(lib_.state);
  EXPECT_EQ(::GetFileAttributesW((lib_.Drive() + L"LOGO.SYS").c_str()) & kBootAttributes, 0u);
  EXPECT_EQ(::GetFileAttributesW((lib_.Windows() + L"LOGOS.SYS").c_str()) & kBootAttributes, 0u);
}

}  // namespace
