#include "library/delete_set.h"

#include "app/paths.h"
#include "app/shell_helpers.h"
#include "common/handles.h"
#include "ui/common/message_box.h"

namespace library {
namespace {

void DeleteFilesIn(const std::wstring& folder) {
  WIN32_FIND_DATAW entry{};
  common::UniqueFindHandle find(
      ::FindFirstFileW(app::LongPathForm(folder + L"\\*.*").c_str(), &entry));
  if (!find) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ::DeleteFileW(app::LongPathForm(folder + L"\\" + entry.cFileName).c_str());
  } while (::FindNextFileW(find.get(), &entry));
}

}  // namespace

bool EliminaLogoSet(HWND owner, const std::wstring& folderToKill, const std::wstring& logoName,
                    const app::Settings& settings, InstalledSetLabel& label) {
  if (settings.ConfirmLogosetDelete == 1) {
    const std::wstring question = L"Are you sure you want to delete " + logoName +
                                  L" logo set? This operation will delete all files contained in '" +
                                  folderToKill + L"' folder!";
    if (ui::ShowMessage(owner, question, L"Confirm deletions", MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
  }
  common::WaitCursor wait;
  if (settings.DeleteInTheRecycleBin == 1)
    app::RecycleFiles({folderToKill + L"\\*.*"});
  else
    DeleteFilesIn(folderToKill);
  ::RemoveDirectoryW(app::LongPathForm(folderToKill).c_str());
  if (logoName == label.Caption()) label.SetCaption(app::kDontKnow);
  return true;
}

}  // namespace library
