#include "app/conversions.h"

#include <limits>
#include <optional>

#include "common/text.h"

namespace app {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads "  [+|-]digits[.digits]  " as a whole number, the fraction rounded half to
// even; nothing for any other text.
std::optional<int64_t> ParseWholeNumber(std::wstring_view text) {
  const std::wstring trimmed = common::TrimSpaces(text);
  std::wstring_view rest = trimmed;
  bool negative = false;
  if (!rest.empty() && (rest[0] == L'+' || rest[0] == L'-')) {
    negative = rest[0] == L'-';
    rest.remove_prefix(1);
  }
  int64_t whole = 0;
  size_t digits = 0;
  while (!rest.empty() && IsDigit(rest[0])) {
    whole = whole * 10 + (rest[0] - L'0');
    if (whole > (int64_t{1} << 40)) return std::nullopt;  // far beyond any range we convert to
    rest.remove_prefix(1);
    ++digits;
  }
  std::wstring fraction;
  if (!rest.empty() && rest[0] == L'.') {
    rest.remove_prefix(1);
    while (!rest.empty() && IsDigit(rest[0])) {
      fraction += rest[0];
      rest.remove_prefix(1);
    }
  }
  if (!rest.empty() || digits + fraction.size() == 0) return std::nullopt;
  // Round half to even, as the conversion of text to a whole number does in Windows
  // automation (VarI2FromStr).
  if (!fraction.empty()) {
    const wchar_t first = fraction[0];
    const bool beyondHalf = fraction.find_first_not_of(L'0', 1) != std::wstring::npos;
    if (first > L'5' || (first == L'5' && (beyondHalf || (whole % 2) == 1))) ++whole;
  }
  return negative ? -whole : whole;
}

std::optional<int64_t> WholeNumberOf(const RegistryResult& result) {
  if (IsEmpty(result)) return 0;
  if (const auto* number = std::get_if<int32_t>(&result)) return *number;
  return ParseWholeNumber(CutAtNulText(result));
}

}  // namespace

std::wstring TextOf(const RegistryResult& result) {
  if (const auto* text = std::get_if<std::wstring>(&result)) return *text;
  if (const auto* number = std::get_if<int32_t>(&result)) return std::to_wstring(*number);
  return {};
}

std::wstring CutAtNulText(const RegistryResult& result) {
  return common::CutAtNul(TextOf(result));
}

bool IntegerOf(const RegistryResult& result, int16_t& field) {
  const std::optional<int64_t> number = WholeNumberOf(result);
  if (!number || *number < std::numeric_limits<int16_t>::min() ||
      *number > std::numeric_limits<int16_t>::max())
    return false;
  field = static_cast<int16_t>(*number);
  return true;
}

bool Int32Of(const RegistryResult& result, int32_t& value) {
  const std::optional<int64_t> number = WholeNumberOf(result);
  if (!number || *number < std::numeric_limits<int32_t>::min() ||
      *number > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int32_t>(*number);
  return true;
}

int32_t NumberOf(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' ||
                             text[i] == L'\n'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > std::numeric_limits<int32_t>::max()) {
      value = std::numeric_limits<int32_t>::max();
      break;
    }
  }
  return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace app
