#include "app/conversions.h"

#include <gtest/gtest.h>

namespace {

using app::RegistryResult;

TEST(Conversions, TextOfEachKind) {
  EXPECT_EQ(app::TextOf(RegistryResult{}), L"");
  EXPECT_EQ(app::TextOf(RegistryResult{int32_t{-42}}), L"-42");
  EXPECT_EQ(app::TextOf(RegistryResult{std::wstring(L"ab\0", 3)}), std::wstring(L"ab\0", 3));
  EXPECT_EQ(app::CutAtNulText(RegistryResult{std::wstring(L"ab\0cd", 5)}), L"ab");
  EXPECT_EQ(app::CutAtNulText(RegistryResult{std::wstring(L"abc")}), L"abc");
  EXPECT_EQ(app::CutAtNulText(RegistryResult{int32_t{7}}), L"7");
}

TEST(Conversions, IntegerOfReadsWholeNumbersAndKeepsThePreviousValueOtherwise) {
  struct Case {
    RegistryResult input;
    bool converts;
    int16_t expected;  // the field's value afterwards (it starts at 9)
  };
  const Case cases[] = {
      {RegistryResult{}, true, 0},
      {RegistryResult{std::wstring(L"1\0", 2)}, true, 1},
      {RegistryResult{std::wstring(L" 2 ")}, true, 2},
      {RegistryResult{std::wstring(L"-3")}, true, -3},
      {RegistryResult{std::wstring(L"2.5")}, true, 2},  // half to even
      {RegistryResult{std::wstring(L"3.5")}, true, 4},
      {RegistryResult{std::wstring(L"1.51")}, true, 2},
      {RegistryResult{std::wstring(L"32767")}, true, 32767},
      {RegistryResult{int32_t{12}}, true, 12},
      {RegistryResult{std::wstring(L"abc")}, false, 9},
      {RegistryResult{std::wstring(L"12abc")}, false, 9},
      {RegistryResult{std::wstring(L"")}, false, 9},
      {RegistryResult{std::wstring(L"\0", 1)}, false, 9},
      {RegistryResult{std::wstring(L"32768")}, false, 9},
      {RegistryResult{int32_t{70000}}, false, 9},
      {RegistryResult{std::wstring(L"99999999999999999999")}, false, 9},
  };
  for (const Case& c : cases) {
    int16_t field = 9;
    EXPECT_EQ(app::IntegerOf(c.input, field), c.converts) << app::TextOf(c.input).c_str();
    EXPECT_EQ(field, c.expected) << app::TextOf(c.input).c_str();
  }
}

TEST(Conversions, NumberOfReadsLeadingDigits) {
  struct Case {
    const wchar_t* text;
    int32_t expected;
  };
  const Case cases[] = {
      {L"", 0},          {L"1", 1},     {L"5", 5},          {L"  12xyz", 12},
      {L"abc", 0},       {L"-4", -4},   {L"+7", 7},         {L"3.9", 3},
      {L"99999999999", 2147483647},
  };
  for (const Case& c : cases) EXPECT_EQ(app::NumberOf(c.text), c.expected) << c.text;
  EXPECT_EQ(app::NumberOf(std::wstring(L"1\0", 2)), 1);
}

}  // namespace
