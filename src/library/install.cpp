#include "library/install.h"

#include <vector>

#include "app/paths.h"
#include "common/handles.h"
#include "common/text.h"
#include "library/logo_library.h"

namespace library {
namespace {

// One installed file and what the installation does with it.
struct Slot {
  std::wstring source;       // the set's file
  std::wstring destination;  // the installed file
  bool sourcePresent = false;
  std::wstring incoming;  // the copy waiting beside the destination
  std::wstring backup;    // the old installed file, moved aside
  DWORD oldAttributes = INVALID_FILE_ATTRIBUTES;
  bool placed = false;
};

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\') + 1); }

// A new, uniquely named file in the destination's folder (so that moves stay on its drive).
std::wstring SiblingName(const std::wstring& destination, const wchar_t* prefix) {
  wchar_t name[MAX_PATH + 1] = {};
  if (!::GetTempFileNameW(FolderOf(destination).c_str(), prefix, 0, name)) return {};
  return name;
}

// Whether the set's file is there. A file missing from a folder that exists and can be
// read is absent on purpose (the installed one is then removed); any other failure
// stops the installation.
DWORD CheckSource(Slot& slot) {
  common::UniqueHandle file(::CreateFileW(app::LongPathForm(slot.source).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) {
    slot.sourcePresent = true;
    return ERROR_SUCCESS;
  }
  const DWORD error = ::GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) return error;
  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(
      ::FindFirstFileW(app::LongPathForm(FolderOf(slot.source) + L"*").c_str(), &entry));
  return find ? ERROR_SUCCESS : ::GetLastError();
}

void RemoveFile(const std::wstring& path) {
  if (path.empty()) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(path.c_str());
}

// Puts every installed file back as it was and removes what the attempt left.
void RollBack(std::vector<Slot>& slots) {
  for (Slot& slot : slots) {
    if (slot.placed) RemoveFile(slot.destination);
    if (!slot.backup.empty() && ::MoveFileExW(slot.backup.c_str(), slot.destination.c_str(),
                                              MOVEFILE_REPLACE_EXISTING))
      slot.backup.clear();
    if (slot.oldAttributes != INVALID_FILE_ATTRIBUTES)
      ::SetFileAttributesW(slot.destination.c_str(), slot.oldAttributes);
    RemoveFile(slot.incoming);
    RemoveFile(slot.backup);
  }
}

InstallOutcome Failure(std::vector<Slot>& slots, const std::wstring& file, DWORD error) {
  RollBack(slots);
  InstallOutcome outcome;
  outcome.failedFile = file;
  outcome.error = error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
  return outcome;
}

std::vector<Slot> SlotsOf(const app::AppState& state, const std::wstring& name) {
  const auto sources = SetLogoPaths(state.settings.LogoPath, name);
  const auto destinations = InstalledLogoPaths(state);
  const size_t count = state.settings.SynchronizeLogos == 0 ? 3 : 1;
  std::vector<Slot> slots(count);
  for (size_t i = 0; i < count; ++i) {
    slots[i].source = sources[i];
    slots[i].destination = destinations[i];
  }
  return slots;
}

}  // namespace

std::wstring InstallOutcome::Message(const std::wstring& setName) const {
  return L"The logo set \"" + setName + L"\" could not be installed.\r\n\r\n" + failedFile +
         L":\r\n" + common::SystemErrorText(error) +
         L"\r\n\r\nThe installed logos have not been changed.";
}

void ToggleReadOnlyAttrib(const app::AppState& state) {
  for (const Slot& slot : SlotsOf(state, L""))
    ::SetFileAttributesW(slot.destination.c_str(), FILE_ATTRIBUTE_NORMAL);
}

InstallOutcome InstallLogoSet(const app::AppState& state, const std::wstring& name) {
  std::vector<Slot> slots = SlotsOf(state, name);

  // 1. Every present source is copied beside its destination; nothing installed changes.
  for (Slot& slot : slots) {
    if (DWORD error = CheckSource(slot); error != ERROR_SUCCESS)
      return Failure(slots, slot.source, error);
    if (!slot.sourcePresent) continue;
    slot.incoming = SiblingName(slot.destination, L"~qn");
    if (slot.incoming.empty()) return Failure(slots, slot.destination, ::GetLastError());
    if (!::CopyFileW(app::LongPathForm(slot.source).c_str(), slot.incoming.c_str(), FALSE))
      return Failure(slots, slot.destination, ::GetLastError());
    ::SetFileAttributesW(slot.incoming.c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  // 2. The installed files move aside and the copies take their places.
  for (Slot& slot : slots) {
    slot.oldAttributes = ::GetFileAttributesW(slot.destination.c_str());
    if (slot.oldAttributes == INVALID_FILE_ATTRIBUTES) continue;
    ::SetFileAttributesW(slot.destination.c_str(), FILE_ATTRIBUTE_NORMAL);
    slot.backup = SiblingName(slot.destination, L"~qo");
    if (slot.backup.empty() || !::MoveFileExW(slot.destination.c_str(), slot.backup.c_str(),
                                              MOVEFILE_REPLACE_EXISTING)) {
      const DWORD error = ::GetLastError();
      RemoveFile(slot.backup);
      slot.backup.clear();
      return Failure(slots, slot.destination, error);
    }
  }
  for (Slot& slot : slots) {
    if (slot.incoming.empty()) continue;
    if (!::MoveFileExW(slot.incoming.c_str(), slot.destination.c_str(), 0))
      return Failure(slots, slot.destination, ::GetLastError());
    slot.incoming.clear();
    slot.placed = true;
  }

  // 3. Done: the old files go.
  for (Slot& slot : slots) RemoveFile(slot.backup);
  InstallOutcome outcome;
  outcome.installed = true;
  return outcome;
}

}  // namespace library
