// Test entry point: an OLE apartment and the common controls, as the program has.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                      ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  const HRESULT ole = ::OleInitialize(nullptr);
  const int result = RUN_ALL_TESTS();
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return result;
}
