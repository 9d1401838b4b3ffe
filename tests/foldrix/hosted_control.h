// The control created from its DLL's class factory (unregistered) and hosted by the
// test container; at the end every record, object and lock of the control is gone.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foldrix/control_host.h"
#include "foldrix/dispids.h"

namespace foldrix_test {

constexpr DISPID kAppearance = -520, kBorderStyle = -504, kBackColor = -501, kEnabled = -514;
constexpr DISPID kHwnd = -515, kRefresh = -550;
constexpr DISPID kDisplayNameFromPIDL = 0x6003FE37, kFreePIDL = 0x6003FE38;
constexpr DISPID kGetParentPIDL = 0x6003FE39, kPIDLFromPath = 0x6003FE41;
constexpr DISPID kPathFromPIDL = 0x6003FE40, kSpecialFolderPIDL = 0x6003FE44, kGoUp = 0x6003FE3F;
constexpr DISPID kItemOfList = 0x68030000, kCountOfList = 0x68030001;
constexpr DISPID kItemIndex = 0x68030008, kItemChecked = 0x6803000B, kItemSelected = 0x68030000;
constexpr DISPID kItemDisplayName = 0x6803000A, kItemFullPath = 0x68030009;
constexpr DISPID kItemAttributes = 0x6803000C, kItemSmallIcon = 0x68030005;
constexpr DISPID kItemEnumContents = 0x6003000E;
constexpr DISPID kEventAddingItem = 3, kEventEnumContentsProc = 8, kEventAddingColumn = 2;
constexpr DISPID kEventAddedItem = 1, kEventPathChanged = 19, kEventPathChanging = 20;

inline LiveCountsFunction LiveCounts(HMODULE module) {
  return Export<LiveCountsFunction>(module, "FoldrixLiveCounts");
}

// The control created from the DLL's own class factory, loaded without registration.
class HostedControl : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryW(OcxPath().c_str());
    ASSERT_NE(module_, nullptr);
    ComPtr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(FoldrixClassObject(module_, &factory));
    ASSERT_HRESULT_SUCCEEDED(container_.Host(factory.Get()));
    list_ = reinterpret_cast<HWND>(PointerOf(container_.Get(kHwnd)));
    ASSERT_TRUE(::IsWindow(list_));
  }
  void TearDown() override {
    container_.Unhost();
    LONG records = -1, objects = -1, locks = -1;
    LiveCounts(module_)(&records, &objects, &locks);
    EXPECT_EQ(records, 0);
    EXPECT_EQ(objects, 0);
    EXPECT_EQ(locks, 0);
    EXPECT_EQ(LiveLists(), 0);  // every list handed out was given back to FreePIDL
    auto canUnload = Export<HRESULT(__stdcall*)()>(module_, "DllCanUnloadNow");
    EXPECT_EQ(canUnload(), S_OK);
    ::FreeLibrary(module_);
  }
  // Identifier lists the control made and nobody has freed yet.
  LONG LiveLists() { return Export<LONG(__stdcall*)()>(module_, "FoldrixLiveLists")(); }
  LONG AsLong(VARIANT value) {
    VARIANT converted;
    ::VariantInit(&converted);
    ::VariantChangeType(&converted, &value, 0, VT_I4);
    ::VariantClear(&value);
    return converted.lVal;
  }
  std::wstring AsText(VARIANT value) {
    std::wstring text = value.vt == VT_BSTR && value.bstrVal ? value.bstrVal : L"";
    ::VariantClear(&value);
    return text;
  }
  ComPtr<IDispatch> AsObject(VARIANT value) {
    ComPtr<IDispatch> object;
    // Takes over the reference (MinGW's ComPtr::Attach would add one).
    if (value.vt == VT_DISPATCH) *object.ReleaseAndGetAddressOf() = value.pdispVal;
    else ::VariantClear(&value);
    return object;
  }
  VARIANT GetOf(IDispatch* object, DISPID id, std::vector<VARIANT> arguments = {}) {
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    VARIANT result;
    ::VariantInit(&result);
    object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &params, &result,
                   nullptr, nullptr);
    return result;
  }
  void PutOf(IDispatch* object, DISPID id, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
  }
  void ShowFolder(const std::wstring& path) { ASSERT_HRESULT_SUCCEEDED(container_.Put(foldrix::kDispFolder, Text(path.c_str()))); }

  HMODULE module_ = nullptr;
  TestContainer container_;
  HWND list_ = nullptr;
};

}  // namespace foldrix_test
