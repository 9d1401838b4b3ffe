// One enumerator class for both kinds: a snapshot of referenced elements and a position.
#include "foldrix/connection_enum.h"

#include <shlwapi.h>

namespace foldrix {
namespace {

struct PointElement {
  static void AddRef(IConnectionPoint* point) { point->AddRef(); }
  static void Release(IConnectionPoint* point) { point->Release(); }
};

struct ConnectionElement {
  static void AddRef(const CONNECTDATA& data) { data.pUnk->AddRef(); }
  static void Release(const CONNECTDATA& data) { data.pUnk->Release(); }
};

template <typename Interface, typename Element, typename Traits>
class Enumerator final : public HeapObject<Enumerator<Interface, Element, Traits>, Interface> {
 public:
  using Self = Enumerator;

  // Takes a reference to owner and to every element.
  static HRESULT Create(IUnknown* owner, const std::vector<Element>& elements, size_t position,
                        Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Guarded([&] {
      *out = new Enumerator(owner, elements, position);
      return S_OK;
    });
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    static const QITAB table[] = {QITABENT(Self, Interface), {}};
    return ::QISearch(this, table, iid, out);
  }

  STDMETHODIMP Next(ULONG count, Element* out, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG given = 0;
    for (; given < count && position_ < elements_.size(); ++given, ++position_) {
      out[given] = elements_[position_];
      Traits::AddRef(out[given]);
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = elements_.size() - position_;
    if (count > left) {
      position_ = elements_.size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** out) override {
    return Create(owner_, elements_, position_, out);
  }

 private:
  Enumerator(IUnknown* owner, const std::vector<Element>& elements, size_t position)
      : owner_(owner), elements_(elements), position_(position) {
    if (owner_) owner_->AddRef();
    for (const auto& element : elements_) Traits::AddRef(element);
  }
  friend class HeapObject<Enumerator, Interface>;  // deletes it at the last Release
  ~Enumerator() {
    for (const auto& element : elements_) Traits::Release(element);
    if (owner_) owner_->Release();
  }

  ObjectCount count_;
  IUnknown* owner_;
  std::vector<Element> elements_;
  size_t position_;
};

using PointEnumerator = Enumerator<IEnumConnectionPoints, IConnectionPoint*, PointElement>;
using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA, ConnectionElement>;

}  // namespace

HRESULT NewConnectionPointEnum(IUnknown* owner, const std::vector<IConnectionPoint*>& points,
                               IEnumConnectionPoints** out) {
  return PointEnumerator::Create(owner, points, 0, out);
}

HRESULT NewConnectionEnum(IUnknown* owner, const std::vector<CONNECTDATA>& connections,
                          IEnumConnections** out) {
  return ConnectionEnumerator::Create(owner, connections, 0, out);
}

}  // namespace foldrix
