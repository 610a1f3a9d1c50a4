#include "ovcbridgesvcs/links/link_set.h"

#include <utility>

#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/links/copy_property.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
HRESULT CLinkSet::get_Item(const Variant& index, Variant* link) {
  CMethodFrame frame(L"CLinkSet::get_Item");
  return RunMethod(frame, [&] { return links_.Item(index, msg::kLinkIndexOutOfRange, link); });
}

HRESULT CLinkSet::get__NewEnum(IUnknown** enumerator) {
  CMethodFrame frame(L"CLinkSet::get__NewEnum");
  return RunMethod(frame, [&] { return links_.NewEnum(enumerator); });
}

HRESULT CLinkSet::get_Count(int32_t* count) { return Give(count, links_.count()); }

HRESULT CLinkSet::Add(IDispatch* link) {
  CMethodFrame frame(L"CLinkSet::Add");
  return RunMethod(frame, [&]() -> HRESULT {
    if (link == nullptr) return ReportError(CLSID_LinkSet, msg::kNullLink, IID_NULL, E_FAIL);
    ComPtr<ILink> added;
    if (Failed(ComPtr<IDispatch>(link).As(&added))) {
      return ReportError(CLSID_LinkSet, msg::kOnlyLinksInLinkSet, IID_NULL, E_FAIL);
    }
    CheckAndRaise(frame, added->put_Parent(static_cast<ILinkSet*>(this)));
    Append(std::move(added));
    return S_OK;
  });
}

void CLinkSet::Append(ComPtr<ILink> link) {
  links_.items().push_back(std::move(link));
  dirty_ = true;
}

HRESULT CLinkSet::InsertLink(IDispatch* link, int32_t index) {
  if (Failed(Add(link))) return E_FAIL;
  const int32_t last = links_.count() - 1;
  if (index < 0 || index >= last) return S_OK;
  for (int32_t i = last - 1; i >= index; --i) {
    if (Failed(SwapLinkPosition(i, i + 1))) return E_FAIL;
  }
  return S_OK;
}

HRESULT CLinkSet::InsertLinks(IDispatch* link_set, int32_t index) {
  CMethodFrame frame(L"CLinkSet::InsertLinks");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<ILinkSet> source;
    if (link_set == nullptr || Failed(ComPtr<IDispatch>(link_set).As(&source))) {
      return ReportError(CLSID_LinkSet, msg::kInsertLinksNeedsLinkSet, IID_NULL, E_FAIL);
    }
    int32_t count = 0;
    CheckAndRaise(frame, source->get_Count(&count));
    for (int32_t i = 0; i < count; ++i) {
      Variant copy;
      CheckAndRaise(frame, source->CopyLink(Variant::I4(i), &copy));
      IDispatch* link = copy.vt() == VT_DISPATCH ? copy.dispatch() : nullptr;
      CheckAndRaise(frame, index == -1 ? Add(link) : InsertLink(link, index + i));
    }
    return S_OK;
  });
}

HRESULT CLinkSet::SwapLinkPosition(int32_t position1, int32_t position2) {
  CMethodFrame frame(L"CLinkSet::SwapLinkPosition");
  return RunMethod(
      frame, [&] { return links_.Swap(position1, position2, msg::kLinkSwapOutOfRange, dirty_); });
}

HRESULT CLinkSet::Remove(int32_t index) {
  CMethodFrame frame(L"CLinkSet::Remove");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<ILink> removed;
    const HRESULT taken = links_.Take(index, msg::kLinkIndexOutOfRange, &removed, dirty_);
    if (Failed(taken)) return taken;
    CheckAndRaise(frame, removed->put_Parent(nullptr));
    return S_OK;
  });
}

HRESULT CLinkSet::RemoveAll() {
  CMethodFrame frame(L"CLinkSet::RemoveAll");
  return RunMethod(frame, [&] {
    for (const ComPtr<ILink>& link : std::exchange(links_.items(), {})) {
      link->put_Parent(nullptr);
    }
  });
}

ComPtr<ILink> CLinkSet::NewLink(CMethodFrame& frame) {
  ComPtr<ILink> link = MakeObject<CLink>();
  CheckAndRaise(frame, link->put_Parent(static_cast<ILinkSet*>(this)));
  return link;
}

HRESULT CLinkSet::CopyLinkAt(int32_t index, Variant* link) {
  return CopyLink(Variant::I4(index), link);
}

HRESULT CLinkSet::CopyLink(const Variant& index, Variant* link) {
  CMethodFrame frame(L"CLinkSet::CopyLink");
  return RunMethod(frame, [&]() -> HRESULT {
    if (link == nullptr) return E_POINTER;
    Variant source;
    CheckAndRaise(frame, get_Item(index, &source));
    const ComPtr<ILink> copy = NewLink(frame);
    CheckAndRaise(frame, copy->CopyLink(source.dispatch()));
    *link = Variant(static_cast<IDispatch*>(copy.get()));
    return S_OK;
  });
}

HRESULT CLinkSet::NewLinkAdded(Variant* link, std::wstring_view method) {
  CMethodFrame frame(method);
  return RunMethod(frame, [&] {
    const ComPtr<ILink> added = MakeObject<CLink>();
    CheckAndRaise(frame, Add(added.get()));
    if (link != nullptr) *link = Variant(static_cast<IDispatch*>(added.get()));
  });
}

HRESULT CLinkSet::AddLink(Variant* link) { return NewLinkAdded(link, L"CLinkSet::AddLink"); }

HRESULT CLinkSet::CreateLink(Variant* link) {
  if (link == nullptr) return E_POINTER;
  return NewLinkAdded(link, L"CLinkSet::CreateLink");
}

HRESULT CLinkSet::CopyLinkSet(IDispatch* link_set) {
  CMethodFrame frame(L"CLinkSet::CopyLinkSet");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<ILinkSet> source;
    if (link_set == nullptr || Failed(ComPtr<IDispatch>(link_set).As(&source))) {
      return ReportError(CLSID_LinkSet, msg::kCopyLinkSetNeedsLinkSet, IID_NULL, E_FAIL);
    }
    ILinkSet* from = source.get();
    CopyProperty(frame, from, &ILinkSet::get_Name, this, &CLinkSet::put_Name);
    CopyProperty(frame, from, &ILinkSet::get_Class, this, &CLinkSet::put_Class);
    CopyProperty(frame, from, &ILinkSet::get_UnitStdSelected, this, &CLinkSet::put_UnitStdSelected);
    CopyProperty(frame, from, &ILinkSet::get_Description, this, &CLinkSet::put_Description);
    CopyProperty(frame, from, &ILinkSet::get_CaseOID, this, &CLinkSet::put_CaseOID);
    CopyProperty(frame, from, &ILinkSet::get_Enabled, this, &CLinkSet::put_Enabled);
    CopyProperty(frame, from, &ILinkSet::get_Iterative, this, &CLinkSet::put_Iterative);
    CopyProperty(frame, from, &ILinkSet::get_ObjectOIDList, this, &CLinkSet::put_ObjectOIDList);
    CopyProperty(frame, from, &ILinkSet::get_ObjectNameList, this, &CLinkSet::put_ObjectNameList);
    return InsertLinks(link_set, -1);
  });
}

HRESULT CLinkSet::get_LinkErrorCount(int32_t* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  for (const ComPtr<ILink>& link : links_.items()) {
    VARIANT_BOOL error = VARIANT_FALSE;
    if (Succeeded(link->get_Error(&error)) && error != VARIANT_FALSE) ++*count;
  }
  return S_OK;
}

HRESULT CLinkSet::get_Name(std::wstring* value) { return Give(value, name_); }
HRESULT CLinkSet::put_Name(const std::wstring& value) {
  SetPersisted(name_, value, dirty_);
  return S_OK;
}
HRESULT CLinkSet::get_Class(std::wstring* value) { return Give(value, class_); }
HRESULT CLinkSet::put_Class(const std::wstring& value) {
  if (value == class_) return S_OK;
  class_ = value;
  dirty_ = true;
  return SetDataModelSvcs();
}
HRESULT CLinkSet::get_Description(std::wstring* value) { return Give(value, description_); }
HRESULT CLinkSet::put_Description(const std::wstring& value) {
  SetPersisted(description_, value, dirty_);
  return S_OK;
}
HRESULT CLinkSet::get_Enabled(VARIANT_BOOL* value) { return GiveFlag(value, enabled_); }
HRESULT CLinkSet::put_Enabled(VARIANT_BOOL value) {
  SetPersisted(enabled_, value != VARIANT_FALSE, dirty_);
  return S_OK;
}
HRESULT CLinkSet::get_UnitStdSelected(std::wstring* value) {
  return Give(value, unit_std_selected_);
}
HRESULT CLinkSet::put_UnitStdSelected(const std::wstring& value) {
  SetPersisted(unit_std_selected_, value, dirty_);
  return S_OK;
}
HRESULT CLinkSet::get_OID(int32_t* value) { return Give(value, oid_); }
HRESULT CLinkSet::put_OID(int32_t value) {
  SetPersisted(oid_, value, dirty_);
  return S_OK;
}
HRESULT CLinkSet::get_CaseOID(int32_t* value) { return Give(value, case_oid_); }
HRESULT CLinkSet::put_CaseOID(int32_t value) {
  SetPersisted(case_oid_, value, dirty_);
  return S_OK;
}

HRESULT CLinkSet::get_Dirty(VARIANT_BOOL* value) {
  return GiveFlag(value, dirty_ || links_.AnyDirty());
}

HRESULT CLinkSet::put_Dirty(VARIANT_BOOL value) {
  dirty_ = value != VARIANT_FALSE;
  if (!dirty_) links_.ClearDirty();
  return S_OK;
}

HRESULT CLinkSet::get_Error(VARIANT_BOOL* value) { return GiveFlag(value, error_); }

HRESULT CLinkSet::get_Parent(IDispatch** parent) {
  if (parent == nullptr) return E_POINTER;
  if (!parent_) return ReportError(CLSID_LinkSet, msg::kLinkSetNoParent, IID_NULL, E_FAIL);
  *parent = ComPtr<IDispatch>(parent_).Detach();
  return S_OK;
}

HRESULT CLinkSet::put_Parent(IDispatch* parent) {
  if (IsSameObject(parent, parent_.get())) return S_OK;
  parent_.Reset();
  class_view_.Reset();
  if (parent == nullptr) return S_OK;
  if (Failed(ComPtr<IDispatch>(parent).As(&parent_))) {
    return ReportError(CLSID_LinkSet, msg::kLinkSetParentNotBridge, IID_NULL, E_FAIL);
  }
  return SetDataModelSvcs();
}

HRESULT CLinkSet::SetDataModelSvcs() {
  CMethodFrame frame(L"CLinkSet::SetDataModelSvcs");
  return RunMethod(frame, [&] {
    ComPtr<IOVClassView> resolved;
    const ComPtr<IOVCache> cache = HostState::Current().cache();
    ComPtr<IDispatch> view;
    if (!class_.empty() && cache) {
      if (Succeeded(cache->ClassView(class_, view.Receive()))) {
        resolved = view.As<IOVClassView>();
      } else {
        SetErrorInfo(nullptr);
      }
    }
    if (resolved == class_view_) return;
    class_view_ = std::move(resolved);
    for (const ComPtr<ILink>& link : links_.items()) {
      CheckAndRaise(frame, link->put_Parent(nullptr));
      CheckAndRaise(frame, link->put_Parent(static_cast<ILinkSet*>(this)));
    }
  });
}

HRESULT CLinkSet::get_ClassViewDisp(IDispatch** view) {
  if (view == nullptr) return E_POINTER;
  *view = ComPtr<IDispatch>(class_view_).Detach();
  return S_OK;
}

HRESULT CLinkSet::FinalCleanUp() {
  RemoveAll();
  parent_.Reset();
  class_view_.Reset();
  return S_OK;
}

HRESULT CLinkSet::ResetStatus(OVCBRIDGETRANSFEROP op) {
  CMethodFrame frame(L"CLinkSet::ResetStatus");
  return RunMethod(frame, [&] {
    error_ = false;
    for (const ComPtr<ILink>& link : links_.items()) CheckAndRaise(frame, link->ResetStatus(op));
  });
}

HRESULT CLinkSet::FinalStatus(OVCBRIDGETRANSFEROP op) {
  CMethodFrame frame(L"CLinkSet::FinalStatus");
  return RunMethod(frame, [&] {
    for (const ComPtr<ILink>& link : links_.items()) CheckAndRaise(frame, link->FinalStatus(op));
  });
}

HRESULT CLinkSet::GetLinkProfile(std::wstring* profile) {
  CMethodFrame frame(L"CLinkSet::GetLinkProfile");
  return RunMethod(frame, [&]() -> HRESULT {
    if (profile == nullptr) return E_POINTER;
    std::wstring text;
    for (const ComPtr<ILink>& link : links_.items()) {
      VARIANT_BOOL enabled = VARIANT_FALSE;
      CheckAndRaise(frame, link->get_Enabled(&enabled));
      if (enabled != VARIANT_TRUE) continue;
      std::wstring route;
      int32_t case_oid = 0;
      CheckAndRaise(frame, link->get_AttribName(&route));
      CheckAndRaise(frame, link->get_CaseResolved(&case_oid));
      text.append(L"<ProfileAttr Route = \"").append(route).append(L"\" Case = \"");
      text.append(std::to_wstring(case_oid)).append(L"\" ></ProfileAttr>");
    }
    *profile = std::move(text);
    return S_OK;
  });
}

HRESULT CLinkSet::GetUnitDefaultFormat(const std::wstring& unit, std::wstring* format) {
  CMethodFrame frame(L"CLinkSet::GetUnitDefaultFormat");
  return RunMethod(frame, [&]() -> HRESULT {
    if (!parent_) RaiseOwnError(frame, SourceLocation::Current(), E_POINTER);
    return parent_->GetUnitDefaultFormat(unit, format);
  });
}

HRESULT CLinkSet::get_CaseNameList(Variant*) { return S_OK; }

}  // namespace ovc::links
