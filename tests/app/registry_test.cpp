#include "app/registry.h"

#include <gtest/gtest.h>

#include "app/conversions.h"
#include "common/handles.h"
#include "support/scratch.h"

namespace {

using app::RegistryResult;
using testing_support::GetRegistryValue;
using testing_support::RegistryKeyReset;

constexpr wchar_t kKey[] = L"SOFTWARE\\Veltrano\\QuillaneRegistryTest";

class Registry : public ::testing::Test {
 protected:
  RegistryKeyReset reset_{HKEY_LOCAL_MACHINE, kKey};
};

TEST_F(Registry, CreateThenWriteAndReadBackEachType) {
  app::CreateSettingsKey(HKEY_LOCAL_MACHINE, kKey);
  EXPECT_EQ(app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Text", std::wstring(L"Blue"),
                                    REG_SZ),
            ERROR_SUCCESS);
  EXPECT_EQ(app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Number", int32_t{5}, REG_SZ),
            ERROR_SUCCESS);
  EXPECT_EQ(app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Dword", std::wstring(L"77"),
                                    REG_DWORD),
            ERROR_SUCCESS);

  // A text comes back whole, with the terminating NUL the registry stores.
  EXPECT_EQ(app::ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Text"),
            RegistryResult(std::wstring(L"Blue\0", 5)));
  EXPECT_EQ(app::CutAtNulText(app::ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Number")), L"5");
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Number").type, DWORD{REG_SZ});
  EXPECT_EQ(app::ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Dword"), RegistryResult(int32_t{77}));
  EXPECT_EQ(GetRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Dword").type, DWORD{REG_DWORD});
}

TEST_F(Registry, NonAsciiTextSurvivesTheRoundTrip) {
  app::CreateSettingsKey(HKEY_LOCAL_MACHINE, kKey);
  const std::wstring name = L"C:\\Logos\\\u00C9t\u00E9 \u65E5\u672C\\";
  app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"LogoPath", name, REG_SZ);
  EXPECT_EQ(app::CutAtNulText(app::ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"LogoPath")), name);
}

TEST_F(Registry, WriteNeverCreatesTheKey) {
  EXPECT_NE(app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Text", std::wstring(L"x"), REG_SZ),
            ERROR_SUCCESS);
  common::UniqueHKey key;
  EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, key.put()), ERROR_SUCCESS);
}

TEST_F(Registry, UnsupportedWritesWriteNothing) {
  app::CreateSettingsKey(HKEY_LOCAL_MACHINE, kKey);
  common::UniqueHKey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
  EXPECT_EQ(app::SetValueOnKey(key.get(), L"Binary", REG_BINARY, std::wstring(L"1")), ERROR_SUCCESS);
  EXPECT_FALSE(GetRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Binary").exists());
  // A text that is no number cannot become a REG_DWORD.
  EXPECT_NE(app::SetValueOnKey(key.get(), L"Dword", REG_DWORD, std::wstring(L"many")),
            ERROR_SUCCESS);
  EXPECT_FALSE(GetRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Dword").exists());
}

TEST_F(Registry, QueryReportsMissingAndForeignValues) {
  app::CreateSettingsKey(HKEY_LOCAL_MACHINE, kKey);
  common::UniqueHKey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
  const BYTE bytes[] = {1, 2, 3};
  ::RegSetValueExW(key.get(), L"Binary", 0, REG_BINARY, bytes, sizeof(bytes));
  const BYTE shortDword[] = {1, 2};
  ::RegSetValueExW(key.get(), L"ShortDword", 0, REG_DWORD, shortDword, sizeof(shortDword));

  RegistryResult result;
  EXPECT_EQ(app::QueryValueOnKey(key.get(), L"Missing", result), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(app::IsEmpty(result));
  EXPECT_EQ(app::QueryValueOnKey(key.get(), L"Binary", result), -1);
  EXPECT_TRUE(app::IsEmpty(result));
  EXPECT_EQ(app::QueryValueOnKey(key.get(), L"ShortDword", result), -1);
  EXPECT_TRUE(app::IsEmpty(result));
  EXPECT_TRUE(app::IsEmpty(app::ReadRegistryValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\NoSuchKey\\Q",
                                                  L"Value")));
}

TEST_F(Registry, ExpandableTextIsReadAsText) {
  app::CreateSettingsKey(HKEY_LOCAL_MACHINE, kKey);
  common::UniqueHKey key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
  const std::wstring text = L"%SystemRoot%\\Logos";
  ::RegSetValueExW(key.get(), L"Expand", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  wchar_t windows[MAX_PATH];
  ::GetEnvironmentVariableW(L"SystemRoot", windows, MAX_PATH);
  EXPECT_EQ(app::CutAtNulText(app::ReadRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Expand")),
            std::wstring(windows) + L"\\Logos");
}

TEST_F(Registry, DeleteRemovesOneValueAndIgnoresMissingOnes) {
  app::CreateSettingsKey(HKEY_LOCAL_MACHINE, kKey);
  app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"A", std::wstring(L"1"), REG_SZ);
  app::WriteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"B", std::wstring(L"2"), REG_SZ);
  app::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"A");
  app::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"Missing");
  app::DeleteRegistryValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\NoSuchKey\\Q", L"A");
  EXPECT_FALSE(GetRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"A").exists());
  EXPECT_TRUE(GetRegistryValue(HKEY_LOCAL_MACHINE, kKey, L"B").exists());
}

}  // namespace
