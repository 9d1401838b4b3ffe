#include "imaging/atomic_file.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#if defined(_WIN32)
// The one platform call of this folder: replacing a file that may already exist.
extern "C" __declspec(dllimport) int __stdcall MoveFileExW(const wchar_t* existing,
                                                             const wchar_t* replacement,
                                                             unsigned long flags);
#endif

namespace imaging {
namespace {

bool ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
#if defined(_WIN32)
  constexpr unsigned long kReplaceExisting = 0x1, kWriteThrough = 0x8;
  return MoveFileExW(from.c_str(), to.c_str(), kReplaceExisting | kWriteThrough) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::filesystem::path SiblingTemporary(const std::filesystem::path& destination) {
  std::random_device random;
  std::error_code ignored;
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::filesystem::path candidate = destination;
    candidate += ".~" + std::to_string(random() % 1000000) + ".tmp";
    if (!std::filesystem::exists(candidate, ignored)) return candidate;
  }
  return {};
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& destination,
                         std::span<const std::uint8_t> content) {
  const std::filesystem::path temporary = SiblingTemporary(destination);
  if (temporary.empty()) return false;
  bool written = false;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (out) {
      out.write(reinterpret_cast<const char*>(content.data()),
                static_cast<std::streamsize>(content.size()));
      out.flush();
      written = static_cast<bool>(out);
    }
  }
  if (written && ReplaceFile(temporary, destination)) return true;
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  return false;
}

}  // namespace imaging
