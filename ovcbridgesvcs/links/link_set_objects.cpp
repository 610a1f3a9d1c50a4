// The object binding and the working copies of CLinkSet.
#include <utility>

#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/links/link_set.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
namespace {

// Sets the single entry of a non-iterative binding list: adds it to an empty
// list, replaces a different one. Whether the list changed.
template <class T>
bool SetSingle(std::vector<T>& list, const T& value) {
  if (list.empty()) {
    list.push_back(value);
    return true;
  }
  if (list.front() == value) return false;
  list.front() = value;
  return true;
}

template <class T>
Variant ListValue(VARTYPE type, const std::vector<T>& list) {
  SafeArray array = SafeArray::Vector(type, static_cast<uint32_t>(list.size()));
  for (size_t i = 0; i < list.size(); ++i) array.data()[i] = Variant(list[i]);
  return Variant(std::move(array));
}

}  // namespace

HRESULT CLinkSet::get_ObjectName(std::wstring* value) {
  if (value == nullptr) return E_POINTER;
  if (iterative_) {
    *value = FormatMessageText(L"** Iterative (%ld objects) **",
                               static_cast<int32_t>(object_oids_.size()));
  } else {
    *value = object_names_.size() == 1 ? object_names_.front() : std::wstring();
  }
  return S_OK;
}

HRESULT CLinkSet::put_ObjectName(const std::wstring& value) {
  if (iterative_ || object_names_.size() > 1) {
    return ReportError(CLSID_LinkSet, msg::kOnlyIterative, IID_NULL, E_FAIL);
  }
  if (SetSingle(object_names_, value)) dirty_ = true;
  return S_OK;
}

HRESULT CLinkSet::get_ObjectOID(int32_t* value) {
  if (value == nullptr) return E_POINTER;
  if (iterative_) return ReportError(CLSID_LinkSet, msg::kOnlyIterative, IID_NULL, E_FAIL);
  *value = object_oids_.size() == 1 ? object_oids_.front() : -1;
  return S_OK;
}

HRESULT CLinkSet::put_ObjectOID(int32_t value) {
  if (iterative_ || object_oids_.size() > 1) {
    return ReportError(CLSID_LinkSet, msg::kOnlyIterative, IID_NULL, E_FAIL);
  }
  if (SetSingle(object_oids_, value)) dirty_ = true;
  return S_OK;
}

HRESULT CLinkSet::ClearObject() {
  if (object_oids_.empty() && object_names_.empty()) return S_OK;
  object_oids_.clear();
  object_names_.clear();
  dirty_ = true;
  return S_OK;
}

HRESULT CLinkSet::get_ObjectCount(int32_t* count) {
  return Give(count, static_cast<int32_t>(object_oids_.size()));
}

HRESULT CLinkSet::get_ObjectNameList(Variant* names) {
  return Give(names, ListValue(VT_BSTR, object_names_));
}

HRESULT CLinkSet::get_ObjectOIDList(Variant* oids) {
  return Give(oids, ListValue(VT_I4, object_oids_));
}

HRESULT CLinkSet::CheckObjectListLength(size_t count) const {
  if (!iterative_ && count > 1) {
    return ReportError(CLSID_LinkSet, msg::kOneObjectOnly, IID_NULL, E_FAIL);
  }
  return S_OK;
}

HRESULT CLinkSet::put_ObjectNameList(const Variant& names) {
  if (names.vt() != (VT_ARRAY | VT_BSTR)) {
    return ReportError(CLSID_LinkSet, msg::kNamesNotTexts, IID_NULL, E_FAIL);
  }
  if (const HRESULT hr = CheckObjectListLength(names.array().size()); Failed(hr)) return hr;
  std::vector<std::wstring> list;
  for (const Variant& name : names.array().data()) {
    list.push_back(name.vt() == VT_BSTR ? name.bstr() : std::wstring());
  }
  object_names_ = std::move(list);
  return S_OK;
}

HRESULT CLinkSet::put_ObjectOIDList(const Variant& oids) {
  if (oids.vt() != (VT_ARRAY | VT_I4)) {
    return ReportError(CLSID_LinkSet, msg::kOidsNotLongs, IID_NULL, E_FAIL);
  }
  if (const HRESULT hr = CheckObjectListLength(oids.array().size()); Failed(hr)) return hr;
  std::vector<int32_t> list;
  for (const Variant& oid : oids.array().data()) list.push_back(oid.vt() == VT_I4 ? oid.i4() : 0);
  object_oids_ = std::move(list);
  return S_OK;
}

HRESULT CLinkSet::get_Iterative(VARIANT_BOOL* value) { return GiveFlag(value, iterative_); }

HRESULT CLinkSet::put_Iterative(VARIANT_BOOL value) {
  const bool iterative = value != VARIANT_FALSE;
  if (iterative == iterative_) return S_OK;
  iterative_ = iterative;
  dirty_ = true;
  if (iterative_) return S_OK;
  // A single-object LinkSet keeps the first object of its list.
  if (object_oids_.size() > 1) {
    const int32_t first = object_oids_.front();
    object_oids_.clear();
    put_ObjectOID(first);
  }
  if (object_names_.size() > 1) {
    const std::wstring first = std::move(object_names_.front());
    object_names_.clear();
    put_ObjectName(first);
  }
  return S_OK;
}

HRESULT CLinkSet::get_IterativeCopy(VARIANT_BOOL* value) {
  return GiveFlag(value, iterative_copy_);
}

HRESULT CLinkSet::put_IterativeCopy(VARIANT_BOOL value) {
  iterative_copy_ = value != VARIANT_FALSE;
  return S_OK;
}

HRESULT CLinkSet::get_FirstObjectOID(int32_t* oid) {
  return Give(oid, object_oids_.empty() ? -1 : object_oids_.front());
}

HRESULT CLinkSet::CreateWorkingCopy(int32_t index, Variant* link_set) {
  CMethodFrame frame(L"CLinkSet::CreateWorkingCopy");
  ComPtr<CLinkSet> copy;
  const HRESULT hr = RunMethod(frame, [&]() -> HRESULT {
    if (link_set == nullptr) return E_POINTER;
    const auto names = static_cast<int32_t>(object_names_.size());
    if (index < 0 || index >= names || static_cast<size_t>(index) >= object_oids_.size()) {
      return ReportOutOfRange(CLSID_LinkSet, msg::kObjectOutOfRange, index, names - 1);
    }
    const auto position = static_cast<size_t>(index);
    copy = MakeObject<CLinkSet>();
    CheckAndRaise(frame, copy->put_Iterative(VARIANT_FALSE));
    CheckAndRaise(frame, copy->put_IterativeCopy(VARIANT_TRUE));
    CheckAndRaise(frame, copy->put_Enabled(VARIANT_TRUE));
    CheckAndRaise(frame, copy->put_Name(name_));
    CheckAndRaise(frame, copy->put_OID(oid_));
    CheckAndRaise(frame, copy->put_Description(description_));
    CheckAndRaise(frame, copy->put_Class(class_));
    CheckAndRaise(frame, copy->put_CaseOID(case_oid_));
    CheckAndRaise(frame, copy->put_ObjectOID(object_oids_[position]));
    CheckAndRaise(frame, copy->put_ObjectName(object_names_[position]));
    CheckAndRaise(frame, copy->put_UnitStdSelected(unit_std_selected_));
    for (size_t i = 0; i < links_.items().size(); ++i) {
      Variant link;
      CheckAndRaise(frame, CopyLinkAt(static_cast<int32_t>(i), &link));
      CheckAndRaise(frame, copy->Add(link.dispatch()));
    }
    *link_set = Variant(static_cast<IDispatch*>(static_cast<ILinkSet*>(copy.get())));
    return S_OK;
  });
  // A copy that is not handed out must let go of its Links, which hold it.
  if (Failed(hr) && copy) copy->FinalCleanUp();
  return hr;
}

}  // namespace ovc::links
