#include "ui/online/update_data.h"

#include <windows.h>

#include <algorithm>

#include "common/text.h"

namespace online {
namespace {

constexpr size_t kMaxVersionParts = 8;
constexpr size_t kMaxPartDigits = 9;  // so that every part fits 32 bits
constexpr size_t kMaxAddressLength = 2048;
constexpr std::wstring_view kFormatField = L"Quillane-Update";
constexpr std::wstring_view kFormatVersion = L"1";

// Strict UTF-8 to UTF-16; nothing for invalid sequences.
std::optional<std::wstring> DecodeUtf8(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring text(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                        static_cast<int>(bytes.size()), text.data(), length);
  return text;
}

// The text cut into lines at LF, each without its CR.
std::vector<std::wstring_view> SplitLines(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  while (!text.empty()) {
    const size_t end = text.find(L'\n');
    std::wstring_view line = text.substr(0, end);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::wstring_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::wstring_view TrimBlanks(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring_view::npos) return {};
  const size_t last = text.find_last_not_of(L" \t");
  return text.substr(first, last - first + 1);
}

bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() &&
         common::EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// An address the shell may open: http or https, no blanks or control characters
// (anything else, a local program for one, must never reach the shell).
bool IsWebAddress(std::wstring_view address) {
  if (address.size() > kMaxAddressLength) return false;
  std::wstring_view rest;
  if (StartsWithIgnoreCase(address, L"http://"))
    rest = address.substr(7);
  else if (StartsWithIgnoreCase(address, L"https://"))
    rest = address.substr(8);
  else
    return false;
  if (rest.empty() || rest.front() == L'/') return false;  // a host name comes first
  return std::none_of(address.begin(), address.end(),
                      [](wchar_t c) { return c <= L' ' || c == 0x7F; });
}

struct Field {
  std::wstring_view name;
  std::wstring_view value;
};

std::optional<Field> SplitField(std::wstring_view line) {
  const size_t colon = line.find(L':');
  if (colon == std::wstring_view::npos) return std::nullopt;
  const std::wstring_view name = TrimBlanks(line.substr(0, colon));
  if (name.empty()) return std::nullopt;
  return Field{name, TrimBlanks(line.substr(colon + 1))};
}

}  // namespace

std::optional<VersionParts> ParseVersion(std::wstring_view text) {
  VersionParts parts;
  size_t start = 0;
  while (true) {
    const size_t dot = text.find(L'.', start);
    const std::wstring_view part = text.substr(start, dot == std::wstring_view::npos
                                                          ? std::wstring_view::npos
                                                          : dot - start);
    if (part.empty() || part.size() > kMaxPartDigits) return std::nullopt;
    uint32_t value = 0;
    for (wchar_t c : part) {
      if (c < L'0' || c > L'9') return std::nullopt;
      value = value * 10 + static_cast<uint32_t>(c - L'0');
    }
    parts.push_back(value);
    if (parts.size() > kMaxVersionParts) return std::nullopt;
    if (dot == std::wstring_view::npos) return parts;
    start = dot + 1;
  }
}

int CompareVersions(const VersionParts& a, const VersionParts& b) {
  const size_t count = std::max(a.size(), b.size());
  for (size_t i = 0; i < count; ++i) {
    const uint32_t left = i < a.size() ? a[i] : 0;
    const uint32_t right = i < b.size() ? b[i] : 0;
    if (left != right) return left < right ? -1 : 1;
  }
  return 0;
}

std::optional<UpdateData> ParseUpdateData(std::string_view bytes) {
  if (bytes.size() > kMaxUpdateDataBytes) return std::nullopt;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::optional<std::wstring> text = DecodeUtf8(bytes);
  if (!text || text->find(L'\0') != std::wstring::npos) return std::nullopt;

  const std::vector<std::wstring_view> lines = SplitLines(*text);
  if (lines.empty()) return std::nullopt;
  const std::optional<Field> format = SplitField(lines[0]);
  if (!format || !common::EqualsIgnoreCase(format->name, kFormatField) ||
      format->value != kFormatVersion)
    return std::nullopt;

  UpdateData data;
  bool hasVersion = false, hasDownload = false, hasAbstract = false;
  size_t line = 1;
  for (; line < lines.size() && !TrimBlanks(lines[line]).empty(); ++line) {
    const std::optional<Field> field = SplitField(lines[line]);
    if (!field) return std::nullopt;
    auto take = [&](std::wstring_view name, bool& seen, std::wstring& target) {
      if (!common::EqualsIgnoreCase(field->name, name)) return true;
      if (seen) return false;  // a field given twice is ambiguous
      seen = true;
      target = field->value;
      return true;
    };
    if (!take(L"Version", hasVersion, data.version) ||
        !take(L"Download", hasDownload, data.downloadUrl) ||
        !take(L"Abstract", hasAbstract, data.abstract))
      return std::nullopt;
    // Other fields are for later versions of the program and are skipped.
  }
  if (!hasVersion || !ParseVersion(data.version)) return std::nullopt;
  if (!hasDownload || !IsWebAddress(data.downloadUrl)) return std::nullopt;

  // After the blank line, the description as it stands, with Windows line ends.
  for (size_t i = line + 1; i < lines.size(); ++i) {
    if (i > line + 1) data.description += L"\r\n";
    data.description += lines[i];
  }
  while (data.description.size() >= 2 && data.description.ends_with(L"\r\n"))
    data.description.resize(data.description.size() - 2);
  return data;
}

}  // namespace online
