#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

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

// The texts of default unit selections ("<LinkSet Default> - bar") that the
// Links of one LinkSet show while the LinkSet writes them, by quantity type
// name and selection: the unit standards they resolve through cannot change
// meanwhile, so the host resolves each pair once.
class DefaultUnitTexts {
 public:
  // The text kept for selection `id` of quantity type `type`, or null.
  const std::wstring* Find(const std::wstring& type, int32_t id) const;
  void Keep(const std::wstring& type, int32_t id, std::wstring text);

 private:
  std::map<std::pair<std::wstring, int32_t>, std::wstring> texts_;
};

}  // namespace ovc::links
