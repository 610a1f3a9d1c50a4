#pragma once

#include <string>
#include <unordered_map>

#include "automation/com_ptr.h"
#include "orvan/orvan.h"

namespace ovc::links {

// What a Link is bound to for its route: the host attribute of its LinkSet's
// class view and, for an attribute with a quantity type, that type and its
// units.
struct AttributeBinding {
  ComPtr<IOVAttribute> attribute;
  ComPtr<IOVQuantityType> quantity_type;
  ComPtr<IOVUnits> units;
  std::wstring units_quantity_type;  // the quantity type `units` belongs to
};

// The bindings found for the routes of one class view through one host
// cache, shared by Links that bind one after another (a LinkSet reading its
// Links), so that the host looks each route up once. Asking for another
// class view or host cache forgets what was kept.
class BindingCache {
 public:
  // The binding kept for `route` of `view` through `host`, or null.
  const AttributeBinding* Find(IDispatch* view, IOVCache* host, const std::wstring& route) const;
  void Keep(IDispatch* view, IOVCache* host, const std::wstring& route,
            const AttributeBinding& binding);

 private:
  ComPtr<IDispatch> view_;
  ComPtr<IOVCache> host_;
  std::unordered_map<std::wstring, AttributeBinding> bindings_;
};

}  // namespace ovc::links
