#include "app/paths.h"

#include <shlwapi.h>

#include <vector>

#include "app/conversions.h"
#include "common/handles.h"
#include "common/text.h"

namespace app {
namespace {

constexpr wchar_t kShellFoldersKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell folders";

// Calls a "fill this buffer, or tell me the size you need" function until the
// whole result fits.
template <typename Query>
std::wstring QueryGrowing(Query query) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return common::CutAtNul(std::wstring_view(buffer.data(), length));
    buffer.resize(static_cast<size_t>(length) + 1);
  }
  return {};
}

bool MatchesMask(DWORD attributes, uint16_t mask) {
  constexpr DWORD kSelective = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_DIRECTORY;
  return (attributes & kSelective & ~static_cast<DWORD>(mask)) == 0;
}

class ScopedErrorMode {
 public:
  explicit ScopedErrorMode(UINT mode) : old_(::SetErrorMode(mode)) {}
  ~ScopedErrorMode() { ::SetErrorMode(old_); }
  ScopedErrorMode(const ScopedErrorMode&) = delete;
  ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

 private:
  UINT old_;
};

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

}  // namespace

std::wstring GetWindowsFolder() {
  return QueryGrowing([](wchar_t* buffer, DWORD size) {
    return static_cast<DWORD>(::GetWindowsDirectoryW(buffer, size));
  });
}

std::wstring GetStartupFolder() {
  const std::wstring folder = common::CutAtNul(
      CutAtNulText(ReadRegistryValue(HKEY_CURRENT_USER, kShellFoldersKey, L"Startup")));
  return folder.empty() ? std::wstring() : AddBackslash(folder);
}

std::wstring MakeTempFileName() {
  const std::wstring folder = QueryGrowing(
      [](wchar_t* buffer, DWORD size) { return ::GetTempPathW(size, buffer); });
  if (folder.empty()) return {};
  wchar_t name[MAX_PATH + 1] = {};  // the system's limit for this function's result
  if (::GetTempFileNameW(folder.c_str(), L"~tm", 0, name) == 0) return {};
  return common::CutAtNul(name);
}

std::wstring AddBackslash(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path;
  return common::TrimSpaces(path) + L"\\";
}

std::wstring GetExtension(const std::wstring& path) {
  const std::wstring text = common::CutAtNul(path);
  return ::PathFindExtensionW(text.c_str());
}

std::wstring GetFileName(const std::wstring& path) {
  const std::wstring text = common::CutAtNul(path);
  return ::PathFindFileNameW(text.c_str());
}

std::wstring LastPathComponent(std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring GetShortPath(const std::wstring& path) {
  if (path.empty()) return {};
  const std::wstring longForm = LongPathForm(path);
  std::wstring shortPath = QueryGrowing([&](wchar_t* buffer, DWORD size) {
    return ::GetShortPathNameW(longForm.c_str(), buffer, size);
  });
  // Give back the form the caller used, not the "\\?\" one.
  if (longForm != path && shortPath.rfind(L"\\\\?\\", 0) == 0) {
    shortPath.erase(0, 4);
    if (shortPath.rfind(L"UNC\\", 0) == 0) shortPath.replace(0, 3, L"\\");
  }
  return shortPath;
}

bool FileExists(const std::wstring& path, uint16_t mask) {
  const std::wstring text = common::CutAtNul(path);
  if (text.empty()) return false;
  // A drive that is not ready answers with an error, not with the system's dialog.
  ScopedErrorMode quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  // A folder path: with the directory bit, the folder itself counts; without it,
  // the folder's contents are searched.
  std::wstring pattern = text;
  if (text.back() == L'\\') {
    if (mask & kMatchDirectory) {
      const DWORD attributes = ::GetFileAttributesW(LongPathForm(text).c_str());
      return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    pattern += L'*';
  }

  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(::FindFirstFileExW(LongPathForm(pattern).c_str(), FindExInfoBasic,
                                                   &entry, FindExSearchNameMatch, nullptr, 0));
  bool found = false;
  if (find) {
    do {
      found = !IsDotEntry(entry.cFileName) && MatchesMask(entry.dwFileAttributes, mask);
    } while (!found && ::FindNextFileW(find.get(), &entry));
  }
  return found;
}

std::wstring LongPathForm(const std::wstring& path) {
  if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

std::wstring GetProgramFolder() {
  std::wstring module = QueryGrowing([](wchar_t* buffer, DWORD size) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, size);
    return length >= size ? size : length;  // a cut name reports the buffer size
  });
  const size_t slash = module.rfind(L'\\');
  if (slash != std::wstring::npos) module.resize(slash);
  return AddBackslash(module);
}

}  // namespace app
