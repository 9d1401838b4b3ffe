// Every identifier list and record the engine allocates from the task allocator is
// freed: a malloc spy watches the allocator while a control lives, fills and navigates.
#include <objbase.h>

#include <set>

#include "foldrix/view_fixture.h"

namespace foldrix_test {
namespace {

using namespace foldrix;

class CountingSpy : public IMallocSpy {
 public:
  std::set<void*> live;
  size_t allocations = 0;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP_(SIZE_T) PreAlloc(SIZE_T size) override { return size; }
  STDMETHODIMP_(void*) PostAlloc(void* block) override {
    if (block) live.insert(block);
    ++allocations;
    return block;
  }
  STDMETHODIMP_(void*) PreFree(void* block, BOOL spied) override {
    if (spied) live.erase(block);
    return block;
  }
  STDMETHODIMP_(void) PostFree(BOOL) override {}
  STDMETHODIMP_(SIZE_T) PreRealloc(void* block, SIZE_T size, void** newBlock, BOOL spied) override {
    if (spied) live.erase(block);
    *newBlock = block;
    return size;
  }
  STDMETHODIMP_(void*) PostRealloc(void* block, BOOL) override {
    if (block) live.insert(block);
    return block;
  }
  STDMETHODIMP_(void*) PreGetSize(void* block, BOOL) override { return block; }
  STDMETHODIMP_(SIZE_T) PostGetSize(SIZE_T size, BOOL) override { return size; }
  STDMETHODIMP_(void*) PreDidAlloc(void* block, BOOL) override { return block; }
  STDMETHODIMP_(int) PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  STDMETHODIMP_(void) PreHeapMinimize() override {}
  STDMETHODIMP_(void) PostHeapMinimize() override {}
};

TEST(Leaks, ListsAndRecordsAreFreedThroughFillsAndMoves) {
  testing_support::ScratchFolder scratch(L"fdx-leak");
  testing_support::CreateFolder(scratch / L"sub");
  for (auto name : {L"a.txt", L"b.txt", L"sub\\c.txt"})
    testing_support::WriteFileBytes(scratch / name, "x");
  HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
  // Warm the shell's own caches first, so that only our allocations are watched.
  {
    RecordingEvents events;
    FolderView view(events);
    view.Create(host);
    VARIANT value = ViewFixture::TextValue((scratch / L"sub").c_str());
    view.SetFolder(value);
    view.GoUp(1);
    ::VariantClear(&value);
  }
  const long listsBefore = Counts().lists;
  CountingSpy spy;
  ASSERT_HRESULT_SUCCEEDED(::CoRegisterMallocSpy(&spy));
  {
    RecordingEvents events;
    FolderView view(events);
    view.Create(host);
    view.SetView(3);
    VARIANT value = ViewFixture::TextValue((scratch / L"sub").c_str());
    view.SetFolder(value);
    view.GoUp(1);
    view.stored().filter = L"*.txt";
    view.Refresh();
    view.Reset(true);
    view.ColumnClick(1);
    ::VariantClear(&value);
    EXPECT_GT(Counts().itemRecords, 0);
  }
  const size_t leaked = spy.live.size();
  ::CoRevokeMallocSpy();
  ::DestroyWindow(host);
  EXPECT_GT(spy.allocations, 50u);  // the spy saw the lists and records come and go
  EXPECT_EQ(leaked, 0u);
  EXPECT_EQ(Counts().itemRecords, 0);
  EXPECT_EQ(Counts().lists, listsBefore);  // the engine's own count agrees with the spy
}

}  // namespace
}  // namespace foldrix_test
