// The validation of a CLinkSet against the host.
#include <algorithm>
#include <string>

#include "automation/class_registry.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/links/link_set.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
namespace {

// The OIDs of the objects of class view `view`.
std::vector<int32_t> ObjectsOf(CMethodFrame& frame, const std::wstring& view) {
  ComPtr<IOVObjectList> list;
  if (Failed(CoCreateInstance(CLSID_ObjectList, nullptr, CLSCTX_ALL, IOVObjectList::kIid,
                              list.ReceiveVoid()))) {
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL, L"Error reading list of objects");
  }
  CheckAndRaise(frame, list->Initialize(view, HostState::Current().workspace().get()));
  int32_t count = 0;
  CheckAndRaise(frame, list->get_Count(&count));
  std::vector<int32_t> oids;
  for (int32_t k = 1; k <= count; ++k) {
    int32_t oid = 0;
    CheckAndRaise(frame, list->ObjectOID(k, &oid));
    oids.push_back(oid);
  }
  return oids;
}

}  // namespace

HRESULT CLinkSet::get_Validate(VARIANT_BOOL transfer, std::wstring* report) {
  CMethodFrame frame(L"CLinkSet::get_Validate");
  return RunMethod(frame, [&]() -> HRESULT {
    if (report == nullptr) return E_POINTER;
    report->clear();
    CheckAndRaise(frame, SetDataModelSvcs());
    error_ = false;
    if (class_.empty()) {
      error_ = true;
      if (object_oids_.size() == 1 && !object_names_.empty()) {
        *report = LoadMessage(msg::kNoClassForObject) + object_names_.front();
      } else if (object_oids_.size() > 1) {
        *report = LoadMessage(msg::kNoClassForIterative);
      }
      return S_OK;
    }
    if (!class_view_) {
      error_ = true;
      *report = LoadMessage(msg::kClassViewInvalid) + class_;
      return S_OK;
    }
    if (object_oids_.empty()) {
      if (transfer != VARIANT_FALSE) {
        error_ = true;
        *report = LoadMessage(msg::kNoObjects) + class_;
      }
    } else {
      *report = MissingObjects(frame);
    }
    const std::wstring routes = MissingAttributes();
    if (!routes.empty()) {
      if (!report->empty()) *report += L"\r\n";
      *report += L"Attributes not found in class view " + class_ + L"\r\n\t" + routes;
    }
    return S_OK;
  });
}

// The report of the bound objects that are not objects of the class view.
std::wstring CLinkSet::MissingObjects(CMethodFrame& frame) {
  const std::vector<int32_t> present = ObjectsOf(frame, class_);
  std::wstring text;
  for (size_t i = 0; i < object_oids_.size(); ++i) {
    if (std::find(present.begin(), present.end(), object_oids_[i]) != present.end()) continue;
    if (text.empty()) {
      error_ = true;
      text = LoadMessage(msg::kObjectsNotInView) + class_ + L"\":  ";
    } else {
      text += L", ";
    }
    if (i < object_names_.size()) text += object_names_[i];
  }
  return text;
}

// The routes of the enabled Links that found no attribute, joined by ", ";
// each such Link is marked in error.
std::wstring CLinkSet::MissingAttributes() {
  std::wstring routes;
  for (const ComPtr<ILink>& link : links_.items()) {
    VARIANT_BOOL enabled = VARIANT_FALSE;
    std::wstring route;
    ComPtr<IDispatch> attribute;
    link->get_Enabled(&enabled);
    link->get_AttribName(&route);
    link->get_AttributeDisp(attribute.Receive());
    if (enabled == VARIANT_FALSE || route.empty() || attribute) continue;
    link->put_Error(VARIANT_TRUE);
    link->AppendStatus(L"Attribute not found in Class View.");
    if (!routes.empty()) routes += L", ";
    routes += route;
  }
  return routes;
}

}  // namespace ovc::links
