#include "ovcbridgesvcs/bridge/bridge.h"

#include <utility>

#include "automation/class_registry.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/links/copy_property.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::bridge {
namespace {

using links::CopyProperty;

template <class I>
ComPtr<I> CreateByClass(CMethodFrame& frame, const CLSID& clsid, uint32_t context) {
  ComPtr<I> created;
  CheckAndRaise(frame, CoCreateInstance(clsid, nullptr, context, I::kIid, created.ReceiveVoid()));
  return created;
}

}  // namespace

HRESULT CBridge::FinalConstruct() {
  CMethodFrame frame(L"CBridge::FinalConstruct");
  return RunMethod(frame, [&] {
    apps_ = CreateByClass<IAppCollection>(frame, CLSID_AppCollection, CLSCTX_ALL);
    host_ = CreateByClass<IOrvan>(frame, CLSID_Orvan, CLSCTX_ALL);
    CMethodFrame units(L"CBridge::ReadDefaultUnits");
    RunMethod(units, [&] { ReadDefaultUnits(units); });
    SetErrorInfo(nullptr);
  });
}

HRESULT CBridge::get_Item(const Variant& index, Variant* link_set) {
  CMethodFrame frame(L"CBridge::get_Item");
  return RunMethod(frame,
                   [&] { return link_sets_.Item(index, msg::kLinkSetIndexOutOfRange, link_set); });
}

HRESULT CBridge::get__NewEnum(IUnknown** enumerator) {
  CMethodFrame frame(L"CBridge::get__NewEnum");
  return RunMethod(frame, [&] { return link_sets_.NewEnum(enumerator); });
}

HRESULT CBridge::get_Count(int32_t* count) { return Give(count, link_sets_.count()); }

HRESULT CBridge::Add(IDispatch* link_set) {
  CMethodFrame frame(L"CBridge::Add");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<ILinkSet> added;
    if (link_set == nullptr || Failed(ComPtr<IDispatch>(link_set).As(&added))) {
      return ReportError(CLSID_Bridge, msg::kOnlyLinkSetsInBridge, IID_NULL, E_FAIL);
    }
    CheckAndRaise(frame, added->put_Parent(static_cast<IBridge*>(this)));
    link_sets_.items().push_back(std::move(added));
    dirty_ = true;
    return S_OK;
  });
}

HRESULT CBridge::Remove(int32_t index) {
  CMethodFrame frame(L"CBridge::Remove");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<ILinkSet> removed;
    const HRESULT taken = link_sets_.Take(index, msg::kLinkSetIndexOutOfRange, &removed, dirty_);
    if (Succeeded(taken)) removed->FinalCleanUp();
    return taken;
  });
}

HRESULT CBridge::RemoveAll() {
  for (const ComPtr<ILinkSet>& link_set : std::exchange(link_sets_.items(), {})) {
    link_set->FinalCleanUp();
  }
  return S_OK;
}

HRESULT CBridge::InsertLinkSet(IDispatch* link_set, int32_t index) {
  const CMethodFrame frame(L"CBridge::InsertLinkSet");
  if (Failed(Add(link_set))) return E_FAIL;
  const int32_t last = link_sets_.count() - 1;
  for (int32_t i = last - 1; index >= 0 && i >= index; --i) {
    if (Failed(SwapLinkSetPosition(i, i + 1))) return E_FAIL;
  }
  return S_OK;
}

HRESULT CBridge::SwapLinkSetPosition(int32_t position1, int32_t position2) {
  CMethodFrame frame(L"CBridge::SwapLinkSetPosition");
  return RunMethod(frame, [&] {
    return link_sets_.Swap(position1, position2, msg::kLinkSetSwapOutOfRange, dirty_);
  });
}

HRESULT CBridge::InsertLinkSets(IDispatch* bridge, int32_t index) {
  CMethodFrame frame(L"CBridge::InsertLinkSet");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IBridge> source;
    if (bridge == nullptr || Failed(ComPtr<IDispatch>(bridge).As(&source))) {
      return ReportError(CLSID_Bridge, msg::kInsertLinkSetsNeedsBridge, IID_NULL, E_FAIL);
    }
    int32_t count = 0;
    CheckAndRaise(frame, source->get_Count(&count));
    for (int32_t i = 0; i < count; ++i) {
      Variant copy;
      CheckAndRaise(frame, source->CopyLinkSet(Variant::I4(i), &copy));
      IDispatch* link_set = copy.vt() == VT_DISPATCH ? copy.dispatch() : nullptr;
      CheckAndRaise(frame, index < 0 ? Add(link_set) : InsertLinkSet(link_set, index + i));
    }
    return S_OK;
  });
}

ComPtr<ILinkSet> CBridge::NewLinkSet(CMethodFrame& frame, uint32_t context) {
  return CreateByClass<ILinkSet>(frame, CLSID_LinkSet, context);
}

HRESULT CBridge::CopyLinkSet(const Variant& index, Variant* link_set) {
  CMethodFrame frame(L"CBridge::CopyLinkSet");
  return RunMethod(frame, [&]() -> HRESULT {
    if (link_set == nullptr) return E_POINTER;
    Variant source;
    CheckAndRaise(frame, get_Item(index, &source));
    const ComPtr<ILinkSet> copy = NewLinkSet(frame, CLSCTX_ALL);
    CheckAndRaise(frame, copy->CopyLinkSet(source.dispatch()));
    *link_set = Variant(static_cast<IDispatch*>(copy.get()));
    return S_OK;
  });
}

HRESULT CBridge::NewLinkSetAdded(Variant* link_set, std::wstring_view method, uint32_t context) {
  CMethodFrame frame(method);
  return RunMethod(frame, [&] {
    const ComPtr<ILinkSet> added = NewLinkSet(frame, context);
    CheckAndRaise(frame, Add(added.get()));
    if (link_set != nullptr) *link_set = Variant(static_cast<IDispatch*>(added.get()));
  });
}

HRESULT CBridge::AddLinkSet(Variant* link_set) {
  return NewLinkSetAdded(link_set, L"CBridge::AddLinkSet", CLSCTX_INPROC_SERVER);
}

HRESULT CBridge::CreateLinkSet(Variant* link_set) {
  if (link_set == nullptr) return E_POINTER;
  return NewLinkSetAdded(link_set, L"CBridge::CreateLinkSet", CLSCTX_ALL);
}

HRESULT CBridge::CopyBridge(IDispatch* bridge) {
  CMethodFrame frame(L"CBridge::CopyBridge");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IBridge> source;
    if (bridge == nullptr || Failed(ComPtr<IDispatch>(bridge).As(&source))) {
      return ReportError(CLSID_Bridge, msg::kCopyBridgeNeedsBridge, IID_NULL, E_FAIL);
    }
    IBridge* from = source.get();
    CopyProperty(frame, from, &IBridge::get_Name, this, &CBridge::put_Name);
    CopyProperty(frame, from, &IBridge::get_UnitStdSelected, this, &CBridge::put_UnitStdSelected);
    CopyProperty(frame, from, &IBridge::get_Description, this, &CBridge::put_Description);
    CopyProperty(frame, from, &IBridge::get_ModifiedBy, this, &CBridge::put_ModifiedBy);
    CopyProperty(frame, from, &IBridge::get_CreatedBy, this, &CBridge::put_CreatedBy);
    CopyProperty(frame, from, &IBridge::get_CaseOID, this, &CBridge::put_CaseOID);
    CopyProperty(frame, from, &IBridge::get_ModifiedTimeStamp, this,
                 &CBridge::put_ModifiedTimeStamp);
    CopyProperty(frame, from, &IBridge::get_CreatedTimeStamp, this, &CBridge::put_CreatedTimeStamp);
    CopyProperty(frame, from, &IBridge::get_OptimizePerformance, this,
                 &CBridge::put_OptimizePerformance);
    CheckAndRaise(frame, InsertLinkSets(bridge, -1));
    CheckAndRaise(frame, InsertApps(bridge, -1));
    return S_OK;
  });
}

HRESULT CBridge::FinalCleanUp() {
  RemoveAll();
  if (apps_) apps_->RemoveAll();
  return S_OK;
}

HRESULT CBridge::get_Name(std::wstring* value) { return Give(value, name_); }
HRESULT CBridge::put_Name(const std::wstring& value) {
  SetPersisted(name_, value, dirty_);
  return S_OK;
}
HRESULT CBridge::get_Description(std::wstring* value) { return Give(value, description_); }
HRESULT CBridge::put_Description(const std::wstring& value) {
  SetPersisted(description_, value, dirty_);
  return S_OK;
}
HRESULT CBridge::get_CreatedBy(std::wstring* value) { return Give(value, created_by_); }
HRESULT CBridge::put_CreatedBy(const std::wstring& value) {
  SetPersisted(created_by_, value, dirty_);
  return S_OK;
}
HRESULT CBridge::get_ModifiedBy(std::wstring* value) { return Give(value, modified_by_); }
HRESULT CBridge::put_ModifiedBy(const std::wstring& value) {
  SetPersisted(modified_by_, value, dirty_);
  return S_OK;
}

HRESULT CBridge::PutTimeStamp(Variant& field, const Variant& value, uint32_t message) {
  if (value.vt() != VT_DATE && value.vt() != VT_EMPTY) {
    return ReportError(CLSID_Bridge, message, IID_NULL, E_FAIL);
  }
  field = value;
  dirty_ = true;
  return S_OK;
}

HRESULT CBridge::get_CreatedTimeStamp(Variant* value) { return Give(value, created_time_stamp_); }
HRESULT CBridge::put_CreatedTimeStamp(const Variant& value) {
  return PutTimeStamp(created_time_stamp_, value, msg::kCreatedTimeStampType);
}
HRESULT CBridge::get_ModifiedTimeStamp(Variant* value) { return Give(value, modified_time_stamp_); }
HRESULT CBridge::put_ModifiedTimeStamp(const Variant& value) {
  return PutTimeStamp(modified_time_stamp_, value, msg::kModifiedTimeStampType);
}

HRESULT CBridge::get_OptimizePerformance(VARIANT_BOOL* value) {
  return GiveFlag(value, optimize_performance_);
}
HRESULT CBridge::put_OptimizePerformance(VARIANT_BOOL value) {
  optimize_performance_ = value != VARIANT_FALSE;
  dirty_ = true;
  return S_OK;
}
HRESULT CBridge::get_OID(int32_t* value) { return Give(value, oid_); }
HRESULT CBridge::put_OID(int32_t value) {
  if (value != oid_) version_.clear();
  SetPersisted(oid_, value, dirty_);
  return S_OK;
}

HRESULT CBridge::get_Dirty(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  bool dirty = dirty_ || link_sets_.AnyDirty();
  if (!dirty && apps_) {
    VARIANT_BOOL apps_dirty = VARIANT_FALSE;
    dirty = Succeeded(apps_->get_Dirty(&apps_dirty)) && apps_dirty != VARIANT_FALSE;
  }
  *value = ToVariantBool(dirty);
  return S_OK;
}

HRESULT CBridge::put_Dirty(VARIANT_BOOL value) {
  dirty_ = value != VARIANT_FALSE;
  if (dirty_) return S_OK;
  link_sets_.ClearDirty();
  if (apps_) apps_->put_Dirty(VARIANT_FALSE);
  return S_OK;
}

HRESULT CBridge::get_LinkErrorCount(int32_t* count) {
  CMethodFrame frame(L"CBridge::get_LinkErrorCount");
  return RunMethod(frame, [&]() -> HRESULT {
    if (count == nullptr) return E_POINTER;
    int32_t total = 0;
    for (const ComPtr<ILinkSet>& link_set : link_sets_.items()) {
      int32_t errors = 0;
      CheckAndRaise(frame, link_set->get_LinkErrorCount(&errors));
      total += errors;
    }
    *count = total;
    return S_OK;
  });
}

HRESULT CBridge::get_AutorunStatus(std::wstring* status) {
  return Give(status, paused_run_.prompt);
}

HRESULT CBridge::GetChangeReport(Variant* report) {
  CMethodFrame frame(L"CBridge::GetChangeReport");
  return RunMethod(frame, [&]() -> HRESULT {
    if (report == nullptr) return E_POINTER;
    SafeArray texts = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(change_report_.size()));
    for (size_t i = 0; i < change_report_.size(); ++i) texts.data()[i] = Variant(change_report_[i]);
    *report = Variant(std::move(texts));
    return S_OK;
  });
}

HRESULT CBridge::ClearChangeReport() {
  change_report_.clear();
  return S_OK;
}

}  // namespace ovc::bridge
