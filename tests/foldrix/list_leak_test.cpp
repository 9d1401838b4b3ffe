// Every identifier list the control makes is freed again: through navigation, the Item
// objects' lists, the conversion methods and EnumContents, all driven through IDispatch.
#include "foldrix/hosted_control.h"
#include "support/scratch.h"

namespace foldrix_test {
namespace {

using namespace foldrix;
using testing_support::CreateFolder;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;

constexpr DISPID kCombinePIDLs = 0x6003FE34, kCopyPIDL = 0x6003FE35, kGetRelativePIDL = 0x6003FE3A;
constexpr DISPID kReset = 0x6003FE42, kItemPidlFQ = 0x68030004, kItemPidlRel = 0x68030003;

class ListLeaks : public HostedControl {
 protected:
  void SetUp() override {
    HostedControl::SetUp();
    CreateFolder(scratch_ / L"sub");
    CreateFolder(scratch_ / L"sub\\inner");
    WriteFileBytes(scratch_ / L"sub\\a.txt", "x");
    WriteFileBytes(scratch_ / L"sub\\inner\\b.txt", "x");
  }
  LONG_PTR Result(DISPID id, std::vector<VARIANT> arguments) {
    VARIANT value = container_.Get(id, std::move(arguments));
    const LONG_PTR list = PointerOf(value);
    ::VariantClear(&value);
    return list;
  }
  void Free(LONG_PTR list) { container_.Call(kFreePIDL, {Pointer(list)}, nullptr); }
  // The root, then the start folder "sub" listed.
  void Settle() {
    ASSERT_HRESULT_SUCCEEDED(container_.Put(kDispRootFolder, Text(scratch_.path().c_str())));
    ASSERT_HRESULT_SUCCEEDED(container_.Put(kDispStartFolder, Text((scratch_ / L"sub").c_str())));
    ShowFolder(scratch_ / L"sub");
  }
  ScratchFolder scratch_{L"fdx-lists"};
};

TEST_F(ListLeaks, NavigationItemsAndConversionsGiveBackEveryList) {
  Settle();
  const LONG settled = LiveLists();
  EXPECT_GE(settled, 3 + 2 * 2);  // root, start, current; two per row

  // The count sees a list that is handed out and not yet given back.
  const LONG_PTR copy = Result(kCopyPIDL, {Pointer(PointerOf(container_.Get(kDispFolder)))});
  ASSERT_NE(copy, 0);
  EXPECT_EQ(LiveLists(), settled + 1);
  Free(copy);
  EXPECT_EQ(LiveLists(), settled);

  // Navigation, back to the same folder each way.
  ShowFolder(scratch_ / L"sub\\inner");
  VARIANT moved;
  container_.Call(kGoUp, {Long(1)}, &moved);
  EXPECT_EQ(moved.boolVal, VARIANT_TRUE);
  container_.Call(kReset, {Bool(true)}, nullptr);
  container_.Call(kReset, {Bool(false)}, nullptr);
  EXPECT_EQ(LiveLists(), settled);

  // Items: their lists live and die with the objects.
  {
    ComPtr<IDispatch> items = AsObject(container_.Get(kDispListItems));
    ComPtr<IDispatch> inner;
    for (LONG row = 0; row < 2 && !inner; ++row) {
      ComPtr<IDispatch> item = AsObject(GetOf(items.Get(), kItemOfList, {Long(row)}));
      ASSERT_TRUE(item);
      EXPECT_NE(PointerOf(GetOf(item.Get(), kItemPidlFQ)), 0);
      EXPECT_NE(PointerOf(GetOf(item.Get(), kItemPidlRel)), 0);
      if (AsText(GetOf(item.Get(), kItemFullPath)) == scratch_ / L"sub\\inner") inner = item;
    }
    ASSERT_TRUE(inner);
    // A handler that keeps the lists owns them and gives them back with FreePIDL.
    std::vector<LONG_PTR> kept;
    container_.sink()->handler = [&](DISPID id, VARIANT* args, UINT) {
      if (id != kEventEnumContentsProc) return;
      kept.push_back(static_cast<LONG_PTR>(*args[0].pllVal));
      kept.push_back(static_cast<LONG_PTR>(*args[1].pllVal));
      *args[2].pboolVal = VARIANT_TRUE;  // DontFreePidls
      *args[3].pboolVal = VARIANT_TRUE;  // Continue
    };
    GetOf(inner.Get(), kItemEnumContents, {Long(224)});
    container_.sink()->handler = nullptr;
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(LiveLists(), settled + 2 + 2);  // and the live Item's own two lists
    for (LONG_PTR list : kept) Free(list);
  }
  EXPECT_EQ(LiveLists(), settled);

  // Conversions: every result is the caller's until FreePIDL.
  const LONG_PTR sub = Result(kPIDLFromPath, {Text((scratch_ / L"sub").c_str())});
  const LONG_PTR parent = Result(kGetParentPIDL, {Pointer(sub)});
  const LONG_PTR relative = Result(kGetRelativePIDL, {Pointer(sub)});
  const LONG_PTR combined = Result(kCombinePIDLs, {Pointer(parent), Pointer(relative)});
  EXPECT_EQ(AsText(container_.Get(kPathFromPIDL, {Pointer(combined)})), scratch_ / L"sub");
  const std::wstring special = AsText(container_.Get(kSpecialFolderPIDL, {Long(0)}));
  const LONG_PTR desktop = static_cast<LONG_PTR>(std::stoll(special));
  EXPECT_EQ(LiveLists(), settled + 5);
  for (LONG_PTR list : {sub, parent, relative, combined, desktop}) Free(list);
  EXPECT_EQ(LiveLists(), settled);
  // Invalid input hands out nothing.
  EXPECT_EQ(Result(kCopyPIDL, {Pointer(0x10)}), 0);
  EXPECT_EQ(Result(kGetParentPIDL, {Pointer(0)}), 0);
  EXPECT_EQ(LiveLists(), settled);
}

}  // namespace
}  // namespace foldrix_test
