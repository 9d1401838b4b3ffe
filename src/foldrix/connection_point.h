// One connection point of the control: the event sinks of one interface.
#pragma once

#include <ocidl.h>

#include <vector>

#include "foldrix/com_base.h"

namespace foldrix {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // container: the control (not held, the control owns this object); iid: the sinks'
  // interface; fallback: accepted in its place (IDispatch for dispinterfaces).
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid, REFIID fallback);
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

  // The live sinks, copied so that a sink may disconnect while it is called.
  std::vector<ComPtr<IUnknown>> Sinks() const;
  bool empty() const;
  // The control ends: no more calls into it.
  void Detach() { container_ = nullptr; }

 private:
  ~ConnectionPoint() = default;
  ObjectCount count_;
  LONG refs_ = 1;
  IConnectionPointContainer* container_;
  IID iid_, fallback_;
  std::vector<ComPtr<IUnknown>> sinks_;  // cookie = slot + 1
};

}  // namespace foldrix
