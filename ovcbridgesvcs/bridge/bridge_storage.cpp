// The Bridge in the host database: storage, user, lock and privileges.
#include <string>

#include "automation/number_text.h"
#include "automation/text.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/xml/variant_util.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::bridge {
namespace {

constexpr DataServiceFailureTexts kCreateTexts = {
    L"NewDataServiceCall error.\nFailed to Create Bridge.",
    L"Service call Execute Error.\nFailed to Create Bridge.",
    L"Invalid server response.\nFailed to Create Bridge.",
};
constexpr DataServiceFailureTexts kDeleteTexts = {
    L"NewDataServiceCall error.\nFailed to Delete Bridge.",
    L"Service call Execute Error.\nFailed to Delete Bridge.",
    L"Invalid server response.\nFailed to Delete Bridge.",
};
constexpr DataServiceFailureTexts kSaveTexts = {
    L"NewDataServiceCall error.\nFailed to Save Bridge.",
    L"Service call Execute Error.\nFailed to Save Bridge.",
    L"Invalid server response.\nFailed to Save Bridge.",
};
constexpr DataServiceFailureTexts kUserNameTexts = {
    L"NewDataServiceCall error.\nFailed to get user name Bridge.",
    L"Service call Execute Error.\nFailed to get user name.",
    L"Invalid server response.\nFailed to get user name.",
};

// The `OID` attributes of the elements `name` of `answer`, in document
// order; nullopt for an element without one.
std::vector<std::optional<int32_t>> OidsOf(const pugi::xml_document& answer,
                                           std::string_view name) {
  std::vector<std::optional<int32_t>> oids;
  xml::ForEachElementNamed(answer, name, [&](pugi::xml_node element) {
    const std::wstring oid = xml::ElementReader(element).Text("OID");
    oids.push_back(oid.empty() ? std::nullopt : std::optional(LeadingInteger(oid)));
  });
  return oids;
}

// The OID of the first `name` element of an answer; nullopt when it has none.
std::optional<int32_t> FirstOid(const pugi::xml_document& answer, std::string_view name) {
  const std::vector<std::optional<int32_t>> oids = OidsOf(answer, name);
  if (oids.empty()) return std::nullopt;
  return oids.front().value_or(-1);
}

// The host's answer; empty when it does not parse.
pugi::xml_document AnswerOf(const std::wstring& response) {
  pugi::xml_document answer;
  if (!xml::TryParseTree(ToUtf8(response), &answer)) answer.reset();
  return answer;
}

// The stored version the first Bridge element of an answer names; "" when
// none. The text goes back to the host as it came.
std::string VersionOf(const pugi::xml_document& answer) {
  std::string version;
  bool first = true;
  xml::ForEachElementNamed(answer, "Bridge", [&](pugi::xml_node element) {
    if (first) version = element.attribute("Version").value();
    first = false;
  });
  return version;
}

}  // namespace

HRESULT CBridge::Create() {
  CMethodFrame frame(L"CBridge::Create");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
    if (!workspace) {
      return ReportError(CLSID_Bridge, L"Invalid workspace.\nFailed to Create Bridge.", IID_NULL,
                         E_FAIL);
    }
    const std::wstring response =
        CallDataService(frame, workspace.get(),
                        {.service = kBridgeService, .method = L"CreateBridge"}, kCreateTexts);
    const pugi::xml_document answer = AnswerOf(response);
    if (const std::optional<int32_t> oid = FirstOid(answer, "Bridge")) oid_ = *oid;
    version_ = VersionOf(answer);
    return S_OK;
  });
}

HRESULT CBridge::Delete() {
  CMethodFrame frame(L"CBridge::Delete");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
    if (!workspace) {
      return ReportError(CLSID_Bridge, L"Invalid workspace.\nFailed to Delete Bridge.", IID_NULL,
                         E_FAIL);
    }
    const std::wstring request = OidRequest(L"Bridge", oid_);
    std::wstring response;
    DataServiceStep step = DataServiceStep::kNone;
    const HRESULT hr = RunDataServiceCall(
        workspace.get(), {.service = kBridgeService, .method = L"DeleteBridge", .text = request},
        &response, &step);
    if (Failed(hr)) return ReportDataServiceFailure(frame, CLSID_Bridge, hr, step, kDeleteTexts);
    if (FirstOid(AnswerOf(response), "Bridge") == oid_) {
      oid_ = -1;
      version_.clear();
    }
    return S_OK;
  });
}

HRESULT CBridge::Open(int32_t oid) {
  CMethodFrame frame(L"CBridge::Open");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
    if (!workspace) {
      return ReportError(CLSID_Bridge, L"Invalid workspace.\nFailed to Open Bridge.", IID_NULL,
                         E_FAIL);
    }
    const std::wstring request = OidRequest(L"Bridge", oid);
    const Variant stored(
        CallDataService(frame, workspace.get(),
                        {.service = kBridgeService, .method = L"OpenBridge", .text = request}));
    // The stored Bridge takes the place of whatever this one held.
    FinalCleanUp();
    CheckAndRaise(frame, ReadXML(stored));
    return put_Dirty(VARIANT_FALSE);
  });
}

HRESULT CBridge::Save(VARIANT_BOOL check_out_files) {
  CMethodFrame frame(L"CBridge::Save");
  return RunMethod(frame, [&] {
    const ComPtr<IOVWorkspace> workspace = StorageWorkspace(frame);
    if (apps_ && Failed(CheckResult(frame, apps_->SaveFiles(check_out_files)))) {
      RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                     L"Files checkin-checkout error.\nFailed to write to Orvan database.");
    }
    StoreDocument(frame, workspace.get());
  });
}

HRESULT CBridge::SaveAs(VARIANT_BOOL check_out_files) {
  CMethodFrame frame(L"CBridge::SaveAs");
  return RunMethod(frame, [&] {
    const ComPtr<IOVWorkspace> workspace = StorageWorkspace(frame);
    SaveAppFilesAs(frame, workspace.get(), check_out_files != VARIANT_FALSE);
    StoreDocument(frame, workspace.get());
  });
}

ComPtr<IOVWorkspace> CBridge::StorageWorkspace(CMethodFrame& frame) {
  ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  if (!workspace) {
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL,
                  L"Invalid workspace.\nFailed to Save Bridge.");
  }
  return workspace;
}

void CBridge::SaveAppFilesAs(CMethodFrame& frame, IOVWorkspace* workspace, bool check_out) {
  if (!apps_) return;
  const ComPtr<IOVFileService> files = HostState::Current().FileService(frame);
  IDispatch* const workspace_dispatch = workspace;
  int32_t count = 0;
  CheckAndRaise(frame, apps_->get_Count(&count));
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<IApp> app = transfer::AppAt(frame, apps_.get(), i);
    // A file that did not save is not stored: its stale copy would be.
    CheckAndRaise(frame, app->Save());
    CheckAndRaise(frame, app->TerminateApp(VARIANT_FALSE));
    int32_t old_oid = -1;
    std::wstring path;
    VARIANT_BOOL linked = VARIANT_FALSE;
    CheckAndRaise(frame, app->get_OID(&old_oid));
    CheckAndRaise(frame, app->get_Path(&path));
    CheckAndRaise(frame, app->get_Linked(&linked));
    int32_t new_oid = -1;
    CheckAndRaise(frame, files->AddFile(path, linked, workspace_dispatch, &new_oid));
    // The stored document names the new record, checked out or not.
    CheckAndRaise(frame, app->put_OID(new_oid));
    if (check_out) {
      std::wstring local_path;
      CheckAndRaise(frame, files->CheckOut(new_oid, workspace_dispatch, &local_path));
      CheckAndRaise(frame, app->put_Path(local_path));
    }
    if (old_oid > 0) CheckAndRaise(frame, files->UndoCheckOut(old_oid, workspace_dispatch));
  }
}

void CBridge::StoreDocument(CMethodFrame& frame, IOVWorkspace* workspace) {
  pugi::xml_document document;
  WriteXml(frame, &document);
  // The version this copy was read at, so that the host refuses to store it
  // over a newer one.
  if (!version_.empty()) {
    document.document_element().append_attribute("Version").set_value(version_.c_str());
  }
  const std::wstring request = FromUtf8(xml::TreeText(document));
  const std::wstring response = CallDataService(
      frame, workspace, {.service = kBridgeService, .method = L"SaveBridge", .text = request},
      kSaveTexts);
  pugi::xml_document answer;
  if (!xml::TryParseTree(ToUtf8(response), &answer)) {
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL,
                  L"Unable to read the XML response from the server");
  }
  // The host gives a Bridge saved for the first time its record.
  const std::vector<std::optional<int32_t>> bridge_oids = OidsOf(answer, "Bridge");
  if (!bridge_oids.empty() && bridge_oids.front()) oid_ = *bridge_oids.front();
  version_ = VersionOf(answer);
  const std::vector<std::optional<int32_t>> set_oids = OidsOf(answer, "Linkset");
  for (size_t i = 0; i < link_sets_.items().size() && i < set_oids.size(); ++i) {
    if (set_oids[i]) CheckAndRaise(frame, link_sets_.items()[i]->put_OID(*set_oids[i]));
  }
  const std::vector<std::optional<int32_t>> file_oids = OidsOf(answer, "File");
  int32_t app_count = 0;
  if (apps_) CheckAndRaise(frame, apps_->get_Count(&app_count));
  for (int32_t i = 0; i < app_count && static_cast<size_t>(i) < file_oids.size(); ++i) {
    if (file_oids[static_cast<size_t>(i)]) {
      CheckAndRaise(
          frame,
          transfer::AppAt(frame, apps_.get(), i)->put_OID(*file_oids[static_cast<size_t>(i)]));
    }
  }
  CheckAndRaise(frame, put_Dirty(VARIANT_FALSE));
}

HRESULT CBridge::get_UserName(std::wstring* name) {
  CMethodFrame frame(L"CBridge::get_UserName");
  return RunMethod(frame, [&]() -> HRESULT {
    if (name == nullptr) return E_POINTER;
    *name = user_name_;
    const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
    if (!workspace) {
      return ReportError(CLSID_Bridge, L"Invalid workspace.\nFailed to get user name Bridge.",
                         IID_NULL, E_FAIL);
    }
    std::wstring response;
    DataServiceStep step = DataServiceStep::kNone;
    const HRESULT hr = RunDataServiceCall(
        workspace.get(), {.service = kBridgeService, .method = L"GetUserName"}, &response, &step);
    if (Failed(hr)) return ReportDataServiceFailure(frame, CLSID_Bridge, hr, step, kUserNameTexts);
    pugi::xml_document answer;
    if (xml::TryParseTree(ToUtf8(response), &answer)) {
      pugi::xml_node user;
      xml::ForEachElementNamed(answer, "UserName", [&](pugi::xml_node element) {
        if (!user) user = element;
      });
      if (user.attribute("AccountName")) {
        user_name_ = xml::ElementReader(user).Text("AccountName");
      }
    }
    *name = user_name_;
    return S_OK;
  });
}

HRESULT CBridge::IsLocked(VARIANT_BOOL* locked) {
  return links::GiveFlag(locked, oid_ >= 0 && locked_);
}

HRESULT CBridge::ReleaseLock() {
  CMethodFrame frame(L"CBridge::ReleaseLock");
  return RunMethod(frame, [&] {
    if (oid_ == -1) return;
    const std::wstring request = OidRequest(L"ReleaseLock", oid_);
    CallDataService(frame, HostState::Current().workspace().get(),
                    {.service = kBridgeService, .method = L"ReleaseLock", .text = request});
  });
}

HRESULT CBridge::AskPrivilege(std::wstring_view method, std::wstring_view request,
                              VARIANT_BOOL* granted) {
  CMethodFrame frame(method);
  return RunMethod(frame, [&]() -> HRESULT {
    if (granted == nullptr) return E_POINTER;
    *granted = VARIANT_FALSE;
    const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
    if (!workspace) return S_OK;
    const std::wstring response =
        CallDataService(frame, workspace.get(), {.service = kBridgeService, .method = request});
    *granted = links::ToVariantBool(ToLower(response) == L"true");
    return S_OK;
  });
}

HRESULT CBridge::CanModifyBridge(VARIANT_BOOL* can_modify) {
  return AskPrivilege(L"CBridge::CanModifyBridge", L"ModifyBridgePrivilege", can_modify);
}

HRESULT CBridge::CanUseBridge(VARIANT_BOOL* can_use) {
  return AskPrivilege(L"CBridge::CanUseBridge", L"RunBridgePrivilege", can_use);
}

}  // namespace ovc::bridge
