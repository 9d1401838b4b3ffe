// The control's connection points as a container sees them: enumerating the points
// and their connections, and quick activation handing over the sinks in one call.
#include <olectl.h>

#include <gtest/gtest.h>

#include <set>

#include "foldrix/control_host.h"
#include "foldrix/dispids.h"
#include "support/scratch.h"

namespace foldrix_test {
namespace {

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

bool SameObject(IUnknown* a, IUnknown* b) {
  ComPtr<IUnknown> first, second;
  a->QueryInterface(IID_PPV_ARGS(&first));
  b->QueryInterface(IID_PPV_ARGS(&second));
  return first && first == second;
}

// The control from the DLL's class factory; every object is gone at the end.
class Connections : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryW(OcxPath().c_str());
    ASSERT_NE(module_, nullptr);
    ASSERT_HRESULT_SUCCEEDED(FoldrixClassObject(module_, &factory_));
  }
  void TearDown() override {
    container_.Unhost();
    factory_.Reset();
    LONG records = -1, objects = -1, locks = -1;
    Export<LiveCountsFunction>(module_, "FoldrixLiveCounts")(&records, &objects, &locks);
    EXPECT_EQ(records, 0);
    EXPECT_EQ(objects, 0);
    EXPECT_EQ(locks, 0);
    EXPECT_EQ(Export<HRESULT(__stdcall*)()>(module_, "DllCanUnloadNow")(), S_OK);
    ::FreeLibrary(module_);
  }
  ComPtr<IConnectionPointContainer> Points() {
    ComPtr<IConnectionPointContainer> points;
    container_.control()->QueryInterface(IID_PPV_ARGS(&points));
    return points;
  }
  GUID EventInterface() {
    ComPtr<IProvideClassInfo2> info;
    GUID events{};
    if (SUCCEEDED(container_.control()->QueryInterface(IID_PPV_ARGS(&info))))
      info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events);
    return events;
  }

  HMODULE module_ = nullptr;
  ComPtr<IClassFactory> factory_;
  TestContainer container_;
};

TEST_F(Connections, EnumeratesBothPointsWithCloneSkipAndReset) {
  ASSERT_HRESULT_SUCCEEDED(container_.Host(factory_.Get()));
  ComPtr<IConnectionPointContainer> points = Points();
  ASSERT_TRUE(points);
  ComPtr<IEnumConnectionPoints> all;
  ASSERT_HRESULT_SUCCEEDED(points->EnumConnectionPoints(&all));
  IConnectionPoint* got[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(all->Next(3, got, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  std::set<std::wstring> interfaces;
  for (ULONG i = 0; i < fetched; ++i) {
    IID iid{};
    EXPECT_HRESULT_SUCCEEDED(got[i]->GetConnectionInterface(&iid));
    wchar_t text[40] = {};
    ::StringFromGUID2(iid, text, 40);
    interfaces.insert(text);
    ComPtr<IConnectionPointContainer> owner;
    EXPECT_HRESULT_SUCCEEDED(got[i]->GetConnectionPointContainer(&owner));
    EXPECT_TRUE(owner && SameObject(owner.Get(), points.Get()));
    got[i]->Release();
  }
  wchar_t events[40] = {}, notify[40] = {};
  ::StringFromGUID2(EventInterface(), events, 40);
  ::StringFromGUID2(IID_IPropertyNotifySink, notify, 40);
  EXPECT_EQ(interfaces, (std::set<std::wstring>{events, notify}));

  EXPECT_EQ(all->Next(1, got, nullptr), S_FALSE);  // at the end
  EXPECT_EQ(all->Next(2, got, nullptr), E_POINTER);  // more than one needs a count
  EXPECT_EQ(all->Reset(), S_OK);
  EXPECT_EQ(all->Skip(1), S_OK);
  ComPtr<IEnumConnectionPoints> copy;
  ASSERT_HRESULT_SUCCEEDED(all->Clone(&copy));
  IConnectionPoint* fromCopy = nullptr;
  IConnectionPoint* fromOriginal = nullptr;
  ASSERT_EQ(copy->Next(1, &fromCopy, nullptr), S_OK);  // the clone starts where it was made
  ASSERT_EQ(all->Next(1, &fromOriginal, nullptr), S_OK);
  EXPECT_EQ(fromCopy, fromOriginal);
  fromCopy->Release();
  fromOriginal->Release();
  EXPECT_EQ(copy->Skip(5), S_FALSE);
  // An enumerator keeps the control alive on its own.
  all.Reset();
  points.Reset();
  container_.Unhost();
  ComPtr<IConnectionPoint> last;
  EXPECT_EQ(copy->Reset(), S_OK);
  EXPECT_EQ(copy->Next(1, &last, nullptr), S_OK);
}

TEST_F(Connections, EnumeratesLiveConnectionsAndHoldsTheirSinks) {
  ASSERT_HRESULT_SUCCEEDED(container_.Host(factory_.Get()));
  ComPtr<IConnectionPoint> point;
  ASSERT_HRESULT_SUCCEEDED(Points()->FindConnectionPoint(EventInterface(), &point));
  EventSink* second = new EventSink();
  DWORD cookie = 0;
  ASSERT_HRESULT_SUCCEEDED(point->Advise(static_cast<IDispatch*>(second), &cookie));
  ComPtr<IEnumConnections> connections;
  ASSERT_HRESULT_SUCCEEDED(point->EnumConnections(&connections));
  ASSERT_HRESULT_SUCCEEDED(point->Unadvise(cookie));
  // The enumeration is a snapshot: both sinks, each referenced until it is released.
  EXPECT_GT(References(static_cast<IDispatch*>(second)), 1u);
  CONNECTDATA data[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  int matched = 0;
  for (ULONG i = 0; i < fetched; ++i) {
    if (data[i].dwCookie == cookie) {
      EXPECT_TRUE(SameObject(data[i].pUnk, static_cast<IDispatch*>(second)));
      ++matched;
    } else {
      EXPECT_TRUE(SameObject(data[i].pUnk, static_cast<IDispatch*>(container_.sink())));
    }
    data[i].pUnk->Release();
  }
  EXPECT_EQ(matched, 1);
  ComPtr<IEnumConnections> copy;
  ASSERT_HRESULT_SUCCEEDED(connections->Clone(&copy));
  EXPECT_EQ(copy->Next(1, data, nullptr), S_FALSE);  // cloned at the end
  EXPECT_EQ(copy->Reset(), S_OK);
  EXPECT_EQ(copy->Skip(2), S_OK);
  EXPECT_EQ(copy->Skip(1), S_FALSE);
  connections.Reset();
  copy.Reset();
  EXPECT_EQ(References(static_cast<IDispatch*>(second)), 1u);
  second->Release();

  ASSERT_HRESULT_SUCCEEDED(point->EnumConnections(&connections));
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 1u);
  data[0].pUnk->Release();
}

TEST_F(Connections, QuickActivationConnectsTheSinksItIsGiven) {
  QACONTROL reply{};
  ASSERT_HRESULT_SUCCEEDED(container_.HostQuickly(factory_.Get(), &reply));
  EXPECT_NE(reply.dwEventCookie, 0u);
  EXPECT_NE(reply.dwPropNotifyCookie, 0u);
  ComPtr<IOleObject> object;
  ASSERT_HRESULT_SUCCEEDED(container_.control()->QueryInterface(IID_PPV_ARGS(&object)));
  DWORD misc = 0;
  object->GetMiscStatus(DVASPECT_CONTENT, &misc);
  EXPECT_EQ(reply.dwMiscStatus, misc);
  EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);
  ComPtr<IOleClientSite> site;
  EXPECT_HRESULT_SUCCEEDED(object->GetClientSite(&site));
  EXPECT_TRUE(site);

  testing_support::ScratchFolder scratch(L"fdx-quick");
  testing_support::WriteFileBytes(scratch / L"one.txt", "x");
  container_.sink()->Clear();
  ASSERT_HRESULT_SUCCEEDED(container_.Put(foldrix::kDispFolder, Text(scratch.path().c_str())));
  const auto& ids = container_.sink()->ids;
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(ids.front(), 20);  // PathChanging
  EXPECT_EQ(ids.back(), 19);   // PathChanged
  ASSERT_HRESULT_SUCCEEDED(container_.Put(foldrix::kDispFilter, Text(L"*.txt")));
  EXPECT_EQ(container_.sink()->changes, std::vector<DISPID>{foldrix::kDispFilter});

  ComPtr<IQuickActivate> quick;
  ASSERT_HRESULT_SUCCEEDED(container_.control()->QueryInterface(IID_PPV_ARGS(&quick)));
  SIZEL extent{5000, 3000}, back{};
  EXPECT_HRESULT_SUCCEEDED(quick->SetContentExtent(&extent));
  EXPECT_HRESULT_SUCCEEDED(quick->GetContentExtent(&back));
  EXPECT_EQ(back.cx, 5000);
  EXPECT_EQ(back.cy, 3000);
  QACONTAINER tooShort{};
  tooShort.cbSize = 8;
  QACONTROL ignored{sizeof(ignored)};
  EXPECT_EQ(quick->QuickActivate(&tooShort, &ignored), E_INVALIDARG);
}

}  // namespace
}  // namespace foldrix_test
