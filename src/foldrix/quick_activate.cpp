// Quick activation: a container hands over its site, sinks and ambient values in one call.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "foldrix/connection_point.h"
#include "foldrix/control.h"

namespace foldrix {

STDMETHODIMP FoldrixControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  // Older containers pass the shorter structures of their day.
  if (container->cbSize < offsetof(QACONTAINER, pUndoMgr) ||
      control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
    return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    const size_t known = std::min<size_t>(control->cbSize, sizeof(QACONTROL));
    std::memset(reinterpret_cast<BYTE*>(control) + sizeof(ULONG), 0, known - sizeof(ULONG));
    HRESULT hr = SetClientSite(container->pClientSite);
    if (FAILED(hr)) return hr;
    // The container's ambient values come with the call: no need to ask the site.
    userMode_ = (container->dwAmbientFlags & QACONTAINER_USERMODE) != 0;
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    if (container->pPropertyNotifySink)
      propertySinks_->Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
    if (container->pUnkEventSink) {
      hr = events_->Advise(container->pUnkEventSink, &control->dwEventCookie);
      if (FAILED(hr)) return hr;
    }
    GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
    control->dwViewStatus = VIEWSTATUS_OPAQUE;  // Draw fills the whole rectangle
    return S_OK;
  });
}

STDMETHODIMP FoldrixControl::SetContentExtent(LPSIZEL size) {
  return SetExtent(DVASPECT_CONTENT, size);
}

STDMETHODIMP FoldrixControl::GetContentExtent(LPSIZEL size) {
  return GetExtent(DVASPECT_CONTENT, size);
}

}  // namespace foldrix
