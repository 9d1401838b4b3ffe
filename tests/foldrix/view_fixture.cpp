#include "foldrix/view_fixture.h"

#include <commctrl.h>

#include <oleauto.h>

namespace foldrix_test {

void ViewFixture::SetUp() {
  host_ = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 640, 480,
                            nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host_, nullptr);
  view_ = std::make_unique<foldrix::FolderView>(events_);
  ASSERT_TRUE(view_->Create(host_));
  view_->SetView(3);
}

void ViewFixture::TearDown() {
  view_.reset();
  if (host_) ::DestroyWindow(host_);
  EXPECT_EQ(foldrix::Counts().itemRecords, 0);
}

std::vector<std::wstring> ViewFixture::Names() const {
  std::vector<std::wstring> names;
  const int count = ListView_GetItemCount(view_->list());
  for (int i = 0; i < count; ++i) names.push_back(Text(i, 0));
  return names;
}

int ViewFixture::Row(const std::wstring& name) const {
  const auto names = Names();
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<int>(i);
  return -1;
}

std::wstring ViewFixture::Text(int row, int column) const {
  if (column > 0) {  // detail texts are given with the icon, as when the row is drawn
    LVITEMW image{};
    image.mask = LVIF_IMAGE;
    image.iItem = row;
    ListView_GetItem(view_->list(), &image);
  }
  wchar_t text[261] = {};
  ListView_GetItemText(view_->list(), row, column, text, 260);
  return text;
}

VARIANT ViewFixture::Text(const wchar_t* text) {
  VARIANT value;
  value.vt = VT_BSTR;
  value.bstrVal = ::SysAllocString(text);
  return value;
}

void ViewFixture::Go(const std::wstring& path) {
  VARIANT value = Text(path.c_str());
  view_->SetFolder(value);
  ::VariantClear(&value);
}

namespace {

// Forwards every IShellFolder call and answers no other interface.
class HidingFolder : public IShellFolder {
 public:
  explicit HidingFolder(IShellFolder* inner) : inner_(inner) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IShellFolder) {
      *out = static_cast<IShellFolder*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }
  STDMETHODIMP ParseDisplayName(HWND w, IBindCtx* b, LPWSTR n, ULONG* e, PIDLIST_RELATIVE* p,
                                ULONG* a) override {
    return inner_->ParseDisplayName(w, b, n, e, p, a);
  }
  STDMETHODIMP EnumObjects(HWND w, SHCONTF f, IEnumIDList** e) override {
    return inner_->EnumObjects(w, f, e);
  }
  STDMETHODIMP BindToObject(PCUIDLIST_RELATIVE p, IBindCtx* b, REFIID i, void** o) override {
    return inner_->BindToObject(p, b, i, o);
  }
  STDMETHODIMP BindToStorage(PCUIDLIST_RELATIVE p, IBindCtx* b, REFIID i, void** o) override {
    return inner_->BindToStorage(p, b, i, o);
  }
  STDMETHODIMP CompareIDs(LPARAM l, PCUIDLIST_RELATIVE a, PCUIDLIST_RELATIVE b) override {
    return inner_->CompareIDs(l, a, b);
  }
  STDMETHODIMP CreateViewObject(HWND w, REFIID i, void** o) override {
    *o = nullptr;
    (void)w;
    (void)i;
    return E_NOINTERFACE;
  }
  STDMETHODIMP GetAttributesOf(UINT c, PCUITEMID_CHILD_ARRAY a, SFGAOF* f) override {
    return inner_->GetAttributesOf(c, a, f);
  }
  STDMETHODIMP GetUIObjectOf(HWND w, UINT c, PCUITEMID_CHILD_ARRAY a, REFIID i, UINT* r,
                             void** o) override {
    return inner_->GetUIObjectOf(w, c, a, i, r, o);
  }
  STDMETHODIMP GetDisplayNameOf(PCUITEMID_CHILD p, SHGDNF f, STRRET* n) override {
    return inner_->GetDisplayNameOf(p, f, n);
  }
  STDMETHODIMP SetNameOf(HWND w, PCUITEMID_CHILD p, LPCWSTR n, SHGDNF f,
                         PITEMID_CHILD* o) override {
    return inner_->SetNameOf(w, p, n, f, o);
  }

 private:
  virtual ~HidingFolder() = default;
  ComPtr<IShellFolder> inner_;
  ULONG refs_ = 1;
};

}  // namespace

ComPtr<IShellFolder> WithoutDetails(IShellFolder* inner) {
  ComPtr<IShellFolder> folder;
  *folder.ReleaseAndGetAddressOf() = new HidingFolder(inner);  // takes over the first reference
  return folder;
}

}  // namespace foldrix_test
