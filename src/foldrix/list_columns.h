// The detail columns of the list: from the folder's details interface, or the
// fallback Size, Type and Modified columns.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "foldrix/pidl.h"

namespace foldrix {

// IShellDetails, or its successor IShellFolder2::GetDetailsOf (same call and meaning).
class DetailsSource {
 public:
  static DetailsSource Of(IShellFolder* folder);
  bool available() const { return details_ || folder2_; }
  bool Get(PCUITEMID_CHILD item, UINT column, SHELLDETAILS* details) const;
  // Newer systems answer for hundreds of property columns: keep those shown by default.
  bool ShownByDefault(UINT column) const;

 private:
  ComPtr<IShellDetails> details_;
  ComPtr<IShellFolder2> folder2_;
};

struct ListColumns {
  DetailsSource details;
  std::vector<UINT> shellColumn;  // list column -> the folder's column (details only)
  int sizeColumn = 0, typeColumn = 0, modifiedColumn = 0;
  int lastColumn = 0;
  std::vector<int> savedWidths;
};

// The text of a STRRET from a details call.
std::wstring StrRetText(STRRET& text, PCUITEMID_CHILD item);
// shell32's own string, or the given text where this shell32 has none.
std::wstring ShellString(UINT id, const wchar_t* fallback);
// "0KB", "1KB", "1,234KB"; "" when the file cannot be found.
std::wstring FileSizeText(const std::wstring& path);
// Short date, a blank, and 24-hour hh:mm of the last write in local time; "" when not found.
std::wstring ModifiedText(const std::wstring& path);
std::wstring SizeTextOfBytes(ULONGLONG bytes);

}  // namespace foldrix
