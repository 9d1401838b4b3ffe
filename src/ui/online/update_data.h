// The update data file that the maker's web server publishes, and version numbers.
// The file's format is described in update-data-format.md beside this file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace online {

// Replies larger than this are not update data files.
inline constexpr size_t kMaxUpdateDataBytes = 64 * 1024;

// What one update data file announces.
struct UpdateData {
  std::wstring version;      // as written in the file, e.g. "5.1.0"
  std::wstring downloadUrl;  // an http:// or https:// address
  std::wstring abstract;     // one line, may be empty
  std::wstring description;  // any number of lines joined by CR LF, may be empty
};

// A version number: its parts, most significant first ("5.0.10" is 5, 0, 10).
using VersionParts = std::vector<uint32_t>;

// Reads "5", "5.0", "5.0.10": one to eight parts of one to nine digits, separated by
// single dots, nothing else. Nothing for any other text.
std::optional<VersionParts> ParseVersion(std::wstring_view text);

// Negative, zero or positive as a is older than, the same as or newer than b.
// Parts compare as numbers; missing parts count as 0, so "5.0" equals "5.0.0".
int CompareVersions(const VersionParts& a, const VersionParts& b);

// Reads the bytes of an update data file; nothing when they are not one (too large,
// not UTF-8, wrong first line, a required field missing or invalid, ...).
std::optional<UpdateData> ParseUpdateData(std::string_view bytes);

}  // namespace online
