// Reading update data files and comparing version numbers.
#include "ui/online/update_data.h"

#include <gtest/gtest.h>

namespace online {
namespace {

int Compare(const wchar_t* a, const wchar_t* b) {
  const auto left = ParseVersion(a);
  const auto right = ParseVersion(b);
  EXPECT_TRUE(left && right) << a << L" " << b;
  return left && right ? CompareVersions(*left, *right) : 99;
}

TEST(VersionTest, ComparesPartByPartAsNumbers) {
  struct Case {
    const wchar_t* older;
    const wchar_t* newer;
  };
  const Case ordered[] = {
      {L"5.0.0", L"5.0.10"}, {L"5.0.10", L"5.1"},  {L"5.0.9", L"5.0.10"},
      {L"9.9.9", L"10"},     {L"5", L"5.0.0.1"},   {L"4.99", L"5.0"},
      {L"5.0.0", L"5.0.0.0.0.0.0.1"}, {L"0", L"999999999"},
  };
  for (const Case& c : ordered) {
    EXPECT_LT(Compare(c.older, c.newer), 0) << c.older << L" < " << c.newer;
    EXPECT_GT(Compare(c.newer, c.older), 0) << c.newer << L" > " << c.older;
  }
  const Case equal[] = {{L"5.0.0", L"5.0.0"}, {L"5", L"5.0.0"}, {L"5.00", L"5.0"},
                        {L"05.0.010", L"5.0.10"}};
  for (const Case& c : equal) EXPECT_EQ(Compare(c.older, c.newer), 0) << c.older << L" = " << c.newer;
}

TEST(VersionTest, RefusesAnythingButDottedNumbers) {
  for (const wchar_t* text : {L"", L".", L"5.", L".5", L"5..0", L"5.0-beta", L"v5", L" 5.0",
                              L"5.0 ", L"-1", L"+1", L"5,0", L"1234567890", L"1.2.3.4.5.6.7.8.9",
                              L"\x0665.0"})  // an Arabic-Indic digit is not one of ours
    EXPECT_FALSE(ParseVersion(text)) << L"\"" << text << L"\"";
  EXPECT_EQ(ParseVersion(L"123456789.1.2.3.4.5.6.7"),
            (VersionParts{123456789, 1, 2, 3, 4, 5, 6, 7}));
}

constexpr char kValidFile[] =
    "Quillane-Update: 1\r\n"
    "Version: 5.1.0\r\n"
    "Download: https://www.veltrano.com/quillane/download.html\r\n"
    "Abstract: Faster conversion\r\n"
    "\r\n"
    "Quillane 2000 5.1 converts pictures faster.\r\n"
    "\r\n"
    "It also keeps animated logos moving.\r\n";

TEST(UpdateDataTest, ReadsFieldsAndDescription) {
  const auto data = ParseUpdateData(kValidFile);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->version, L"5.1.0");
  EXPECT_EQ(data->downloadUrl, L"https://www.veltrano.com/quillane/download.html");
  EXPECT_EQ(data->abstract, L"Faster conversion");
  EXPECT_EQ(data->description,
            L"Quillane 2000 5.1 converts pictures faster.\r\n\r\n"
            L"It also keeps animated logos moving.");
}

TEST(UpdateDataTest, AcceptsTheVariationsThatTheFormatAllows) {
  // Byte order mark, LF line ends, any letter case in names, blanks around values,
  // fields in any order, unknown fields, no abstract, no description, UTF-8 text.
  const auto data = ParseUpdateData(
      "\xEF\xBB\xBFquillane-update: 1\n"
      "DOWNLOAD:\thttp://example.com/q?v=5.2 \n"
      "Released: 2001-03-04\n"
      "version:   5.2\n"
      "\n"
      "Nouveaut\xC3\xA9s\nline two\n\n\n");
  ASSERT_TRUE(data);
  EXPECT_EQ(data->version, L"5.2");
  EXPECT_EQ(data->downloadUrl, L"http://example.com/q?v=5.2");
  EXPECT_EQ(data->abstract, L"");
  EXPECT_EQ(data->description, L"Nouveaut\u00e9s\r\nline two");

  const auto bare = ParseUpdateData("Quillane-Update: 1\nVersion: 6\nDownload: http://a/");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->description, L"");
}

TEST(UpdateDataTest, RefusesWhatIsNotAnUpdateDataFile) {
  const std::string head = "Quillane-Update: 1\r\n";
  const std::string version = "Version: 5.1\r\n";
  const std::string download = "Download: http://www.veltrano.com/get\r\n";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"a web page", "<html><body>Welcome to our portal</body></html>"},
      {"no first line", version + download},
      {"another format number", "Quillane-Update: 2\r\n" + version + download},
      {"no version", head + download},
      {"a version that is not a number", head + "Version: 5.1 beta\r\n" + download},
      {"no download address", head + version},
      {"a local program as download", head + version + "Download: C:\\Windows\\notepad.exe\r\n"},
      {"a file address as download", head + version + "Download: file:///C:/evil.exe\r\n"},
      {"a download address without host", head + version + "Download: http:///x\r\n"},
      {"a download address with a blank", head + version + "Download: http://a/b c\r\n"},
      {"a field given twice", head + version + "Version: 9.0\r\n" + download},
      {"a line without a colon", head + version + "garbage\r\n" + download},
      {"a field without a name", head + version + ": value\r\n" + download},
      {"invalid UTF-8", head + version + download + "\r\n\xC3(\r\n"},
      {"a NUL byte", head + version + download + std::string("\r\nab\0cd", 7)},
      {"more than the size limit",
       head + version + download + "\r\n" + std::string(kMaxUpdateDataBytes, 'x')},
  };
  for (const auto& c : cases) EXPECT_FALSE(ParseUpdateData(c.bytes)) << c.what;
  EXPECT_TRUE(ParseUpdateData(head + version + download)) << "the fixture itself";
}

}  // namespace
}  // namespace online
