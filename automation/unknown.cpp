#include "automation/com_ptr.h"

namespace ovc {

bool IsSameObject(IUnknown* a, IUnknown* b) {
  if (a == nullptr || b == nullptr) return a == b;
  ComPtr<IUnknown> identity_a;
  ComPtr<IUnknown> identity_b;
  if (Failed(a->QueryInterface(IUnknown::kIid, identity_a.ReceiveVoid()))) return false;
  if (Failed(b->QueryInterface(IUnknown::kIid, identity_b.ReceiveVoid()))) return false;
  return identity_a == identity_b;
}

}  // namespace ovc
