// Enumerators over the control's connection points and over one point's connections.
// Each holds its own references, so it stays valid whatever the control does meanwhile.
#pragma once

#include <ocidl.h>

#include <vector>

#include "foldrix/com_base.h"

namespace foldrix {

// points: borrowed here; the enumerator takes its own reference to each, and to owner.
HRESULT NewConnectionPointEnum(IUnknown* owner, const std::vector<IConnectionPoint*>& points,
                               IEnumConnectionPoints** out);
// connections: borrowed here; the enumerator references each sink, and owner.
HRESULT NewConnectionEnum(IUnknown* owner, const std::vector<CONNECTDATA>& connections,
                          IEnumConnections** out);

}  // namespace foldrix
