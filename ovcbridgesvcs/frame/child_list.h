#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/enum_variant.h"
#include "automation/guid.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc {

// The children of a collection object (the Links of a LinkSet, the
// LinkSets of a Bridge, the Apps of an AppCollection): one counted reference each, in order, at
// 0-based positions, with the checks and reports every collection member makes for the owner's
// class `clsid`. A position outside the list is reported with the owner's message for the member
// and the range suffix (E_FAIL). `Child` has get_Dirty and put_Dirty.
template <class Child>
class ChildList {
 public:
  explicit ChildList(const CLSID& clsid) : clsid_(clsid) {}

  std::vector<ComPtr<Child>>& items() { return items_; }
  const std::vector<ComPtr<Child>>& items() const { return items_; }
  int32_t count() const { return static_cast<int32_t>(items_.size()); }

  // The child at `index`, a VT_I2 or VT_I4 (message 1211 and E_INVALIDARG
  // otherwise), as VT_DISPATCH with a reference for the caller.
  HRESULT Item(const Variant& index, uint32_t range_message, Variant* child) const {
    if (child == nullptr) return E_POINTER;
    int32_t position = 0;
    if (!IndexOf(index, &position))
      return ReportError(clsid_, msg::kIndexType, IID_NULL, E_INVALIDARG);
    const HRESULT checked = Check(position, range_message);
    if (Failed(checked)) return checked;
    *child = Variant(static_cast<IDispatch*>(items_[static_cast<size_t>(position)].get()));
    return S_OK;
  }

  // An enumerator over a snapshot of the children.
  HRESULT NewEnum(IUnknown** enumerator) const {
    if (enumerator == nullptr) return E_POINTER;
    std::vector<Variant> values;
    values.reserve(items_.size());
    for (const ComPtr<Child>& child : items_)
      values.emplace_back(static_cast<IDispatch*>(child.get()));
    *enumerator = ComPtr<IUnknown>(CreateVariantEnumerator(std::move(values))).Detach();
    return S_OK;
  }

  // Exchanges two children and sets `changed`; equal positions change
  // nothing and are not checked. The first bad position is reported.
  HRESULT Swap(int32_t position1, int32_t position2, uint32_t range_message, bool& changed) {
    if (position1 == position2) return S_OK;
    for (int32_t position : {position1, position2}) {
      const HRESULT checked = Check(position, range_message);
      if (Failed(checked)) return checked;
    }
    std::swap(items_[static_cast<size_t>(position1)], items_[static_cast<size_t>(position2)]);
    changed = true;
    return S_OK;
  }

  // Takes the child at `position` out of the list into *removed and sets
  // `changed`.
  HRESULT Take(int32_t position, uint32_t range_message, ComPtr<Child>* removed, bool& changed) {
    const HRESULT checked = Check(position, range_message);
    if (Failed(checked)) return checked;
    const auto at = items_.begin() + position;
    *removed = std::move(*at);
    items_.erase(at);
    changed = true;
    return S_OK;
  }

  // Whether any child is dirty, asked in order until one says so.
  bool AnyDirty() const {
    for (const ComPtr<Child>& child : items_) {
      VARIANT_BOOL dirty = VARIANT_FALSE;
      if (Succeeded(child->get_Dirty(&dirty)) && dirty != VARIANT_FALSE) return true;
    }
    return false;
  }

  void ClearDirty() const {
    for (const ComPtr<Child>& child : items_) child->put_Dirty(VARIANT_FALSE);
  }

 private:
  HRESULT Check(int32_t position, uint32_t range_message) const {
    if (position >= 0 && position < count()) return S_OK;
    return ReportOutOfRange(clsid_, range_message, position, count() - 1);
  }

  CLSID clsid_;
  std::vector<ComPtr<Child>> items_;
};

}  // namespace ovc
