#pragma once

#include <map>
#include <string>
#include <utility>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/error_info.h"
#include "office/excel/application.h"

namespace ovc::apps::testing {

// A spreadsheet application whose Application member `failing` fails;
// everything else is the engine's. It counts the calls of each Application
// member. Registered as "Excel.Application" while a FailingExcelRegistered
// lives, the newest application made is `last`.
class FailingExcel final : public ComObject<IDispatch> {
 public:
  explicit FailingExcel(std::wstring failing)
      : inner_(MakeObject<excel::Application>(office::Services{})), failing_(std::move(failing)) {
    inner_->GetIDsOfNames(IID_NULL, &failing_, 1, 0, &failing_id_);
  }

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (iid == IDispatch::kIid || iid == IUnknown::kIid) {
      return ComObject<IDispatch>::QueryInterface(iid, object);
    }
    return inner_->QueryInterface(iid, object);
  }
  HRESULT GetTypeInfoCount(uint32_t* count) override { return inner_->GetTypeInfoCount(count); }
  HRESULT GetTypeInfo(uint32_t index, LCID locale, const InterfaceInfo** info) override {
    return inner_->GetTypeInfo(index, locale, info);
  }
  HRESULT GetIDsOfNames(const IID& iid, const std::wstring* names, uint32_t count, LCID locale,
                        DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT Invoke(DISPID id, const IID& iid, LCID locale, uint16_t flags, DISPPARAMS* params,
                 Variant* result, EXCEPINFO* exception, uint32_t* arg_error) override {
    ++calls_[id];
    if (id == failing_id_) {
      SetErrorInfo(CreateErrorInfo(failing_ + L" failed", L"Excel.Application"));
      return E_FAIL;
    }
    return inner_->Invoke(id, iid, locale, flags, params, result, exception, arg_error);
  }

  IDispatch* inner() const { return inner_.get(); }

  // How often the Application member `name` was called.
  int CallsOf(const std::wstring& name) const {
    DISPID id = DISPID_UNKNOWN;
    inner_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    const auto found = calls_.find(id);
    return found == calls_.end() ? 0 : found->second;
  }

 private:
  ComPtr<excel::Application> inner_;
  std::wstring failing_;
  DISPID failing_id_ = DISPID_UNKNOWN;
  std::map<DISPID, int> calls_;
};

// Serves FailingExcel as "Excel.Application" while it lives.
class FailingExcelRegistered {
 public:
  explicit FailingExcelRegistered(std::wstring failing)
      : factory_(MakeObject<Factory>(std::move(failing))) {
    CoRegisterClassObject(CLSID_ExcelApplication, factory_.get(),
                          CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, &cookie_,
                          {L"Excel.Application", L"", L""});
  }
  ~FailingExcelRegistered() { CoRevokeClassObject(cookie_); }
  FailingExcelRegistered(const FailingExcelRegistered&) = delete;
  FailingExcelRegistered& operator=(const FailingExcelRegistered&) = delete;

  // The application made last (null before the first).
  IDispatch* last() const { return factory_->last ? factory_->last->inner() : nullptr; }
  FailingExcel* last_made() const { return factory_->last.get(); }

 private:
  struct Factory final : ComObject<IClassFactory> {
    explicit Factory(std::wstring failing_member) : failing(std::move(failing_member)) {}
    HRESULT CreateInstance(IUnknown*, const IID& iid, void** object) override {
      last = MakeObject<FailingExcel>(failing);
      return last->QueryInterface(iid, object);
    }
    HRESULT LockServer(bool) override { return S_OK; }
    std::wstring failing;
    ComPtr<FailingExcel> last;
  };

  ComPtr<Factory> factory_;
  uint32_t cookie_ = 0;
};

}  // namespace ovc::apps::testing
