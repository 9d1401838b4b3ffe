// foldrix.ocx in a container of our own, driven only through IDispatch by DISPID.
#include <olectl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "foldrix/hosted_control.h"
#include "foldrix/dispids.h"
#include "support/scratch.h"

#include <commctrl.h>

namespace foldrix_test {
namespace {

using namespace foldrix;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

// Runs a program of the system and waits (bounded) for its end; the exit code, or -1.
int RunAndWait(std::wstring command, std::string* output = nullptr) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readPipe = nullptr, writePipe = nullptr;
  ::CreatePipe(&readPipe, &writePipe, &inherit, 0);
  ::SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{sizeof(startup)};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writePipe;
  startup.hStdError = writePipe;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
    ::CloseHandle(readPipe);
    ::CloseHandle(writePipe);
    return -1;
  }
  ::CloseHandle(writePipe);
  std::string text;
  char buffer[512];
  DWORD read = 0;
  while (::ReadFile(readPipe, buffer, sizeof(buffer), &read, nullptr) && read) text.append(buffer, read);
  ::CloseHandle(readPipe);
  DWORD code = static_cast<DWORD>(-1);
  if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  if (output) *output = text;
  return static_cast<int>(code);
}

bool Registered() {
  CLSID clsid{};
  return SUCCEEDED(::CLSIDFromProgID(L"FoldrixCtl.Foldrix", &clsid));
}

std::wstring KeyValue(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t value[MAX_PATH * 2] = {};
  DWORD size = sizeof(value);
  if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size))
    return L"<missing>";
  return value;
}


TEST_F(HostedControl, ListWindowAndNewControlDefaults) {
  wchar_t className[64] = {}, text[64] = {};
  ::GetClassNameW(list_, className, 64);
  ::GetWindowTextW(list_, text, 64);
  EXPECT_STREQ(className, L"SysListView32");
  EXPECT_STREQ(text, L"Marrowby Foldrix");
  EXPECT_EQ(::GetDlgCtrlID(list_), 1000);
  struct Case { DISPID id; LONG expected; const char* name; } cases[] = {
      {kAppearance, 1, "Appearance"}, {kBorderStyle, 1, "BorderStyle"},
      {kDispCheckBoxes, 0, "CheckBoxes"}, {kDispLabelEdit, 1, "LabelEdit"}, {kDispView, 0, "View"},
      {kBackColor, static_cast<LONG>(0x80000005), "BackColor"},
      {-513, static_cast<LONG>(0x80000008), "ForeColor"},
      {kDispAutoUpdate, -1, "AutoUpdate"}, {kDispContextMenu, -1, "ContextMenu"},
      {kDispDragDrop, -1, "DragDrop"}, {kDispDontChangeFolder, 0, "DontChangeFolder"},
      {kEnabled, -1, "Enabled"}, {kDispKeyHandling, -1, "KeyHandling"},
      {kDispLabelWrap, -1, "LabelWrap"}, {kDispMultiSelect, -1, "MultiSelect"},
      {kDispShellExecute, -1, "ShellExecute"}, {kDispShowFiles, -1, "ShowFiles"},
      {kDispShowFolders, -1, "ShowFolders"}, {kDispShowHidden, -1, "ShowHidden"},
      {kDispShowProps, -1, "ShowProps"}, {kDispShowSystem, -1, "ShowSystem"},
      {kDispShowVirtualFolders, -1, "ShowVirtualFolders"}, {kDispGridLines, 0, "GridLines"},
      {kDispFullRowSelect, 0, "FullRowSelect"}, {kDispHideSelection, 0, "HideSelection"},
      {kDispHotTracking, 0, "HotTracking"}, {kDispAllowColumnReorder, 0, "AllowColumnReorder"},
      {kDispFlatScrollBar, 0, "FlatScrollBar"}, {kDispHoverSelection, 0, "HoverSelection"}};
  for (const auto& c : cases) EXPECT_EQ(AsLong(container_.Get(c.id)), c.expected) << c.name;
  // FlatHeader reads the header's button style back (this comctl32 always makes a header).
  HWND header = ListView_GetHeader(list_);
  const bool flat = !header || !(::GetWindowLongPtrW(header, GWL_STYLE) & HDS_BUTTONS);
  EXPECT_EQ(AsLong(container_.Get(kDispFlatHeader)), flat ? -1 : 0);
  EXPECT_EQ(AsText(container_.Get(kDispFilter)), L"");
  EXPECT_EQ(AsText(container_.Get(kDispRootFolder)), L"Desktop");
  EXPECT_EQ(AsText(container_.Get(kDispStartFolder)), L"Desktop");
  EXPECT_GT(ListView_GetItemCount(list_), 0);  // shown at run time: the start folder, the desktop
  VARIANT version = container_.Get(kDispShellVer);
  EXPECT_EQ(version.vt, VT_R4);
}

TEST_F(HostedControl, EqualFilterNeitherRefreshesNorReports) {
  container_.sink()->Clear();
  ASSERT_HRESULT_SUCCEEDED(container_.Put(kDispFilter, Text(L"")));
  EXPECT_TRUE(container_.sink()->ids.empty());
  EXPECT_TRUE(container_.sink()->changes.empty());
  ASSERT_HRESULT_SUCCEEDED(container_.Put(kDispFilter, Text(L"*.txt")));
  EXPECT_FALSE(container_.sink()->ids.empty());
  EXPECT_EQ(container_.sink()->changes, std::vector<DISPID>{kDispFilter});
}

TEST_F(HostedControl, IdentifierListsThroughMethods) {
  const std::wstring text = AsText(container_.Get(kSpecialFolderPIDL, {Long(0)}));
  ASSERT_FALSE(text.empty());
  for (wchar_t c : text) EXPECT_TRUE(iswdigit(c)) << text;
  const LONG_PTR desktop = static_cast<LONG_PTR>(std::stoll(text));
  EXPECT_EQ(AsText(container_.Get(kDisplayNameFromPIDL, {Pointer(desktop)})),
            AsText(container_.Get(kDisplayNameFromPIDL, {Pointer(PointerOf(container_.Get(kDispFolder)))})));
  container_.Call(kFreePIDL, {Pointer(desktop)}, nullptr);

  const LONG_PTR windows = PointerOf(container_.Get(kPIDLFromPath, {Text(L"C:\\windows")}));
  ASSERT_NE(windows, 0);
  EXPECT_EQ(AsText(container_.Get(kPathFromPIDL, {Pointer(windows)})), L"C:\\windows");
  const LONG_PTR parent = PointerOf(container_.Get(kGetParentPIDL, {Pointer(windows)}));
  EXPECT_EQ(AsText(container_.Get(kPathFromPIDL, {Pointer(parent)})), L"C:\\");
  container_.Call(kFreePIDL, {Pointer(parent)}, nullptr);
  container_.Call(kFreePIDL, {Pointer(windows)}, nullptr);
  EXPECT_EQ(PointerOf(container_.Get(kPIDLFromPath, {Text(L"")})), 0);
  EXPECT_EQ(AsText(container_.Get(kDisplayNameFromPIDL, {Pointer(0x10)})), L"");
}

TEST_F(HostedControl, AppearanceAndError380) {
  ASSERT_HRESULT_SUCCEEDED(container_.Put(kAppearance, Long(2)));
  const LONG_PTR style = ::GetWindowLongPtrW(list_, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(style & WS_EX_DLGMODALFRAME);
  EXPECT_EQ(AsLong(container_.Get(kAppearance)), 2);
  struct Case { DISPID id; LONG bad; const char* name; } cases[] = {
      {kAppearance, 3, "Appearance"}, {kBorderStyle, 2, "BorderStyle"},
      {kDispCheckBoxes, 3, "CheckBoxes"}, {kDispLabelEdit, 2, "LabelEdit"},
      {kDispView, 4, "View"}, {kDispView, -1, "View"}};
  for (const auto& c : cases) {
    const LONG before = AsLong(container_.Get(c.id));
    EXCEPINFO error{};
    EXPECT_EQ(container_.Put(c.id, Long(c.bad), &error), DISP_E_EXCEPTION) << c.name;
    EXPECT_EQ(error.scode, CTL_E_INVALIDPROPERTYVALUE) << c.name;
    EXPECT_TRUE(error.bstrDescription && *error.bstrDescription) << c.name;
    ::SysFreeString(error.bstrDescription);
    ::SysFreeString(error.bstrSource);
    ::SysFreeString(error.bstrHelpFile);
    EXPECT_EQ(AsLong(container_.Get(c.id)), before) << c.name;
  }
}

TEST_F(HostedControl, FolderChangeRaisesEventsInOrder) {
  ScratchFolder scratch(L"fdx-ctl-ev");
  WriteFileBytes(scratch / L"one.txt", "x");
  container_.sink()->Clear();
  ShowFolder(scratch.path());
  const auto& ids = container_.sink()->ids;
  ASSERT_GE(ids.size(), 4u);
  EXPECT_EQ(ids.front(), kEventPathChanging);
  EXPECT_EQ(ids[1], kEventAddingColumn);
  EXPECT_EQ(ids.back(), kEventPathChanged);
  const auto adding = std::find(ids.begin(), ids.end(), kEventAddingItem);
  ASSERT_NE(adding, ids.end());
  EXPECT_EQ(*(adding + 1), kEventAddedItem);
  // Cancelling PathChanging keeps the folder.
  const LONG_PTR before = PointerOf(container_.Get(kDispFolder));
  container_.sink()->handler = [](DISPID id, VARIANT* args, UINT) {
    if (id == kEventPathChanging) *args[3].pboolVal = VARIANT_TRUE;
  };
  VARIANT up;
  container_.Call(kGoUp, {Long(1)}, &up);
  EXPECT_EQ(up.boolVal, VARIANT_FALSE);
  EXPECT_EQ(PointerOf(container_.Get(kDispFolder)), before);
}

TEST_F(HostedControl, SelectedItemsFocusedRowAndChecks) {
  ScratchFolder scratch(L"fdx-ctl-items");
  for (auto name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) WriteFileBytes(scratch / name, "x");
  ShowFolder(scratch.path());
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list_, 0, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list_, 3, LVIS_SELECTED, LVIS_SELECTED);
  ListView_SetItemState(list_, 2, LVIS_FOCUSED, LVIS_FOCUSED);
  ComPtr<IDispatch> selected = AsObject(container_.Get(kDispSelectedItems));
  ASSERT_TRUE(selected);
  EXPECT_EQ(AsLong(GetOf(selected.Get(), kCountOfList)), 2);
  EXPECT_EQ(AsLong(GetOf(AsObject(GetOf(selected.Get(), kItemOfList, {Long(0)})).Get(), kItemIndex)), 0);
  EXPECT_EQ(AsLong(GetOf(AsObject(GetOf(selected.Get(), kItemOfList, {Long(1)})).Get(), kItemIndex)), 3);
  EXPECT_FALSE(AsObject(GetOf(selected.Get(), kItemOfList, {Long(2)})));
  EXPECT_EQ(AsLong(GetOf(AsObject(GetOf(selected.Get(), kItemOfList)).Get(), kItemIndex)), 2);

  ASSERT_HRESULT_SUCCEEDED(container_.Put(kDispCheckBoxes, Long(1)));
  ComPtr<IDispatch> all = AsObject(container_.Get(kDispListItems));
  ComPtr<IDispatch> item = AsObject(GetOf(all.Get(), kItemOfList, {Long(1)}));
  ASSERT_TRUE(item);
  EXPECT_EQ(AsLong(GetOf(item.Get(), kItemChecked)), 0);
  PutOf(item.Get(), kItemChecked, Bool(true));
  PutOf(item.Get(), kItemChecked, Bool(true));
  EXPECT_EQ(AsLong(GetOf(item.Get(), kItemChecked)), -1);
  EXPECT_EQ(ListView_GetItemState(list_, 1, LVIS_STATEIMAGEMASK) >> 12, 2u);
  PutOf(item.Get(), kItemSelected, Bool(true));
  EXPECT_EQ(AsLong(GetOf(selected.Get(), kCountOfList)), 3);
}

TEST_F(HostedControl, AddingItemAnswersAndEnumContents) {
  ScratchFolder scratch(L"fdx-ctl-add");
  testing_support::CreateFolder(scratch / L"sub");
  testing_support::CreateFolder(scratch / L"sub\\inner");
  WriteFileBytes(scratch / L"sub\\file.txt", "x");
  WriteFileBytes(scratch / L"sub\\hidden.txt", "x");
  ::SetFileAttributesW((scratch / L"sub\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  LONG index = 0, selectedFlag = 1, attributes = 0;
  std::wstring name, path;
  bool iconIsNull = false;
  container_.sink()->handler = [&](DISPID id, VARIANT* args, UINT) {
    if (id != kEventAddingItem) return;
    IDispatch* item = *args[0].ppdispVal;
    index = AsLong(GetOf(item, kItemIndex));
    selectedFlag = AsLong(GetOf(item, kItemSelected));
    name = AsText(GetOf(item, kItemDisplayName));
    path = AsText(GetOf(item, kItemFullPath));
    attributes = AsLong(GetOf(item, kItemAttributes, {Long(SFGAO_FOLDER)}));
    VARIANT icon = GetOf(item, kItemSmallIcon);
    iconIsNull = icon.vt == VT_EMPTY || (icon.vt == VT_DISPATCH && !icon.pdispVal);
    ::VariantClear(&icon);
  };
  ShowFolder(scratch.path());
  EXPECT_EQ(index, -1);
  EXPECT_EQ(selectedFlag, 0);
  EXPECT_EQ(name, L"sub");
  EXPECT_EQ(path, scratch / L"sub");
  EXPECT_EQ(attributes & SFGAO_FOLDER, static_cast<LONG>(SFGAO_FOLDER));
  EXPECT_TRUE(iconIsNull);

  int seen = 0;
  container_.sink()->handler = [&](DISPID id, VARIANT* args, UINT) {
    if (id != kEventEnumContentsProc) return;
    ++seen;
    *args[3].pboolVal = VARIANT_TRUE;  // Continue
  };
  ComPtr<IDispatch> sub = AsObject(GetOf(AsObject(container_.Get(kDispListItems)).Get(), kItemOfList, {Long(0)}));
  ASSERT_TRUE(sub);
  EXPECT_EQ(AsLong(GetOf(sub.Get(), kItemEnumContents, {Long(32)})), -1);
  EXPECT_EQ(seen, 1);
  seen = 0;
  GetOf(sub.Get(), kItemEnumContents, {Long(224)});
  EXPECT_EQ(seen, 3);
}

TEST_F(HostedControl, FolderAcceptsAnItemObject) {
  ScratchFolder scratch(L"fdx-ctl-obj");
  testing_support::CreateFolder(scratch / L"sub");
  WriteFileBytes(scratch / L"sub\\inside.txt", "x");
  ShowFolder(scratch.path());
  ComPtr<IDispatch> sub = AsObject(GetOf(AsObject(container_.Get(kDispListItems)).Get(), kItemOfList, {Long(0)}));
  ASSERT_TRUE(sub);
  VARIANT value;
  value.vt = VT_DISPATCH;
  value.pdispVal = sub.Get();
  sub->AddRef();
  ASSERT_HRESULT_SUCCEEDED(container_.Put(kDispFolder, value));
  const LONG_PTR folder = PointerOf(container_.Get(kDispFolder));
  EXPECT_EQ(AsText(container_.Get(kPathFromPIDL, {Pointer(folder)})), scratch / L"sub");
  EXPECT_EQ(ListView_GetItemCount(list_), 1);
}

TEST_F(HostedControl, FocusIsReportedToTheSite) {
  ::SetFocus(container_.window());
  const int gained = container_.focusGained;
  ::SetFocus(list_);
  EXPECT_EQ(container_.focusGained, gained + 1);
  EXPECT_NE(container_.activeObject, nullptr);
  ::SetFocus(container_.window());
  EXPECT_GE(container_.focusLost, 1);
}

// The class object straight from the DLL, released before the DLL is.
class DirectFactory : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryW(OcxPath().c_str());
    ASSERT_NE(module_, nullptr);
    ASSERT_HRESULT_SUCCEEDED(FoldrixClassObject(module_, &factory_));
  }
  void TearDown() override {
    factory_.Reset();
    ::FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
  ComPtr<IClassFactory> factory_;
};

HRESULT PutOn(IDispatch* object, DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                    nullptr, nullptr);
  ::VariantClear(&value);
  return hr;
}

TEST_F(DirectFactory, WithoutAContainerStyleBackedPropertiesReadAndWrite) {
  // A script's CreateObject calls neither InitNew nor DoVerb.
  ComPtr<IDispatch> bare;
  ASSERT_HRESULT_SUCCEEDED(factory_->CreateInstance(nullptr, IID_PPV_ARGS(&bare)));
  ASSERT_HRESULT_SUCCEEDED(PutOn(bare.Get(), kDispView, Long(3)));
  ASSERT_HRESULT_SUCCEEDED(PutOn(bare.Get(), kDispGridLines, Bool(true)));
  DISPPARAMS none{};
  VARIANT result;
  ::VariantInit(&result);
  ASSERT_HRESULT_SUCCEEDED(bare->Invoke(kDispView, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                        &result, nullptr, nullptr));
  EXPECT_EQ(result.lVal, 3);
  ASSERT_HRESULT_SUCCEEDED(bare->Invoke(kDispGridLines, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                        &result, nullptr, nullptr));
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);
}

TEST_F(DirectFactory, DesignModeShowsTheRootFirst) {
  ScratchFolder scratch(L"fdx-design");
  testing_support::CreateFolder(scratch / L"start");
  WriteFileBytes(scratch / L"root.txt", "x");
  TestContainer container;
  container.userMode = false;
  {
    ComPtr<IDispatch> control;
    ASSERT_HRESULT_SUCCEEDED(factory_->CreateInstance(nullptr, IID_PPV_ARGS(&control)));
    EXPECT_HRESULT_SUCCEEDED(PutOn(control.Get(), kDispRootFolder, Text(scratch.path().c_str())));
    EXPECT_HRESULT_SUCCEEDED(PutOn(control.Get(), kDispStartFolder, Text((scratch / L"start").c_str())));
    ASSERT_HRESULT_SUCCEEDED(container.Host(control.Get()));
  }
  HWND list = reinterpret_cast<HWND>(PointerOf(container.Get(kHwnd)));
  EXPECT_EQ(ListView_GetItemCount(list), 2);  // the root's start folder and file
  container.Unhost();
}

TEST(Registration, RegsvrRoundTripAndCreationByProgId) {
  const std::wstring ocx = OcxPath();
  ASSERT_EQ(RunAndWait(L"regsvr32.exe /s \"" + ocx + L"\""), 0);
  ASSERT_TRUE(Registered());
  const std::wstring key = L"CLSID\\{5FEFBBB8-2283-466A-9591-E7D3DEFEE84A}";
  EXPECT_EQ(KeyValue(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(KeyValue(key + L"\\VersionIndependentProgID"), L"FoldrixCtl.Foldrix");
  EXPECT_EQ(KeyValue(key + L"\\Version"), L"5.1");
  EXPECT_EQ(KeyValue(key + L"\\TypeLib"), L"{72CEF92F-C2F6-4B36-AFE2-4ABA7D363915}");
  EXPECT_NE(KeyValue(key + L"\\ToolboxBitmap32").find(L"30000"), std::wstring::npos);
  EXPECT_NE(KeyValue(key + L"\\Control"), L"<missing>");
  {
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(::CLSIDFromProgID(L"FoldrixCtl.Foldrix", &clsid));
    ComPtr<IDispatch> control;
    ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)));
    ComPtr<ITypeLib> library;
    GUID libid{};
    ::CLSIDFromString(L"{72CEF92F-C2F6-4B36-AFE2-4ABA7D363915}", &libid);
    EXPECT_HRESULT_SUCCEEDED(::LoadRegTypeLib(libid, 5, 1, 0x409, &library));
  }
  ::CoFreeUnusedLibraries();
  ASSERT_EQ(RunAndWait(L"regsvr32.exe /s /u \"" + ocx + L"\""), 0);
  EXPECT_FALSE(Registered());
  EXPECT_EQ(KeyValue(key + L"\\InprocServer32"), L"<missing>");
}

TEST(Registration, VBScriptThroughCscript) {
  const std::wstring ocx = OcxPath();
  ASSERT_EQ(RunAndWait(L"regsvr32.exe /s \"" + ocx + L"\""), 0);
  std::string output;
  const int code = RunAndWait(L"cscript.exe //nologo \"" FOLDRIX_SCRIPT L"\"", &output);
  RunAndWait(L"regsvr32.exe /s /u \"" + ocx + L"\"");
  EXPECT_EQ(code, 0) << output;
  for (const char* line : {"View=0", "View=3", "Filter=*.txt", "Path=C:\\windows", "Parent=C:\\",
                           "Desktop=Desktop", "Err=380", "Done"})
    EXPECT_NE(output.find(line), std::string::npos) << line << "\n" << output;
}

}  // namespace
}  // namespace foldrix_test
