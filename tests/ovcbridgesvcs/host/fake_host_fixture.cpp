#include "tests/ovcbridgesvcs/host/fake_host.h"

#include <utility>

#include "automation/com_object.h"
#include "automation/conversion.h"
#include "automation/dispatch_impl.h"
#include "automation/error_info.h"
#include "automation/safe_array.h"

namespace ovc::host_testing {
namespace {

using Data = std::shared_ptr<FakeHostData>;

Variant TextArray(const std::vector<std::wstring>& texts) {
  std::vector<Variant> values;
  for (const std::wstring& text : texts) values.emplace_back(text);
  return Variant(SafeArray::FromValues(std::move(values), VT_BSTR));
}

class FakeCall final : public ComObject<DispatchImpl<IOVDataServiceCall>> {
 public:
  explicit FakeCall(Data data) : data_(std::move(data)) { data_->calls.emplace_back(); }

  HRESULT put_Option(int32_t value) override { return Record(L"Option", &Call().option, value); }
  HRESULT put_ServiceName(const std::wstring& value) override {
    return Record(L"ServiceName", &Call().service, value);
  }
  HRESULT put_MethodName(const std::wstring& value) override {
    return Record(L"MethodName", &Call().method, value);
  }
  HRESULT put_RequestText(const std::wstring& value) override {
    return Record(L"RequestText", &Call().request, value);
  }
  HRESULT AddParameter(const std::wstring& name, const Variant& value) override {
    Variant text;
    VariantChangeType(&text, value, 0, VT_BSTR);
    Call().parameters.push_back(name + L"=" + (text.vt() == VT_BSTR ? text.bstr() : L"?"));
    return data_->Fails(L"AddParameter");
  }
  HRESULT Execute(int32_t flags) override {
    Call().execute_flags = flags;
    Call().executed = true;
    return data_->Fails(L"Execute");
  }
  HRESULT get_ResponseText(std::wstring* text) override {
    const HRESULT hr = data_->Fails(L"ResponseText");
    if (Succeeded(hr)) *text = data_->responses[Call().method];
    return hr;
  }

 private:
  // The record of this call: the last one the host received.
  RecordedCall& Call() { return data_->calls.back(); }

  template <class T>
  HRESULT Record(const wchar_t* member, T* field, const T& value) {
    *field = value;
    return data_->Fails(member);
  }

  Data data_;
};

class FakeWorkspace final : public ComObject<DispatchImpl<IOVWorkspace>> {
 public:
  explicit FakeWorkspace(Data data) : data_(std::move(data)) {}

  HRESULT Create(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT Open(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT Close() override { return E_NOTIMPL; }
  HRESULT Import(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT Export(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT get_Cache(IDispatch**) override { return E_NOTIMPL; }
  HRESULT get_UserName(std::wstring*) override { return E_NOTIMPL; }
  HRESULT put_UserName(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT NewDataServiceCall(IDispatch** call) override {
    const HRESULT hr = data_->Fails(L"NewDataServiceCall");
    if (Failed(hr)) return hr;
    *call = MakeObject<FakeCall>(data_).Detach();
    return S_OK;
  }
  HRESULT get_UnitStandardNames(Variant* names) override {
    *names = TextArray(data_->unit_standard_names);
    return S_OK;
  }
  HRESULT get_DefaultCase(int32_t*) override { return E_NOTIMPL; }
  HRESULT get_Path(std::wstring*) override { return E_NOTIMPL; }

 private:
  Data data_;
};

class FakeCache final : public ComObject<DispatchImpl<IOVCache>> {
 public:
  explicit FakeCache(Data data) : data_(std::move(data)) {}

  HRESULT get_UnitStandardNames(Variant* names) override {
    const HRESULT hr = data_->Fails(L"UnitStandardNames");
    if (Succeeded(hr)) *names = TextArray(data_->unit_standard_names);
    return hr;
  }
  HRESULT ClassView(const std::wstring&, IDispatch**) override { return E_NOTIMPL; }
  HRESULT QuantityType(const std::wstring&, IDispatch**) override { return E_NOTIMPL; }
  HRESULT put_Workspace(IDispatch*) override { return E_NOTIMPL; }

 private:
  Data data_;
};

class FakeCaseList final : public ComObject<DispatchImpl<IOVCaseList>> {
 public:
  explicit FakeCaseList(Data data) : data_(std::move(data)) {}

  HRESULT Initialize(int32_t scope, IDispatch* workspace) override {
    data_->case_list_scopes.push_back(scope);
    data_->case_list_workspaces.push_back(workspace);
    cases_ = data_->cases[scope];
    return data_->Fails(L"CaseList.Initialize");
  }
  HRESULT get_Count(int32_t* count) override {
    *count = static_cast<int32_t>(cases_.size());
    return data_->Fails(L"CaseList.Count");
  }
  HRESULT CaseName(int32_t k, std::wstring* name) override {
    if (k < 1 || k > static_cast<int32_t>(cases_.size())) return E_INVALIDARG;
    *name = cases_[k - 1].name;
    return S_OK;
  }
  HRESULT CaseOID(int32_t k, int32_t* oid) override {
    if (k < 1 || k > static_cast<int32_t>(cases_.size())) return E_INVALIDARG;
    *oid = cases_[k - 1].oid;
    return S_OK;
  }

 private:
  Data data_;
  std::vector<FakeCase> cases_;
};

class FakeGoverningCase final : public ComObject<DispatchImpl<IOVGoverningCase>> {
 public:
  explicit FakeGoverningCase(Data data) : data_(std::move(data)) {}

  HRESULT GoverningCase(const Variant& scope, int32_t* oid) override {
    ++data_->governing_case_asks;
    data_->governing_case_scope = scope;
    const HRESULT hr = data_->Fails(L"GoverningCase");
    if (Succeeded(hr)) *oid = data_->governing_case;
    return hr;
  }
  HRESULT put_Workspace(IDispatch*) override { return S_OK; }

 private:
  Data data_;
};

class FakeFieldFormatter final : public ComObject<DispatchImpl<IOVFieldFormatter>> {
 public:
  explicit FakeFieldFormatter(Data data) : data_(std::move(data)) {}

  HRESULT put_Workspace(IDispatch* workspace) override {
    data_->formatter_workspace = workspace;
    return data_->Fails(L"FieldFormatter.Workspace");
  }
  HRESULT get_Prefixes(Variant*) override { return E_NOTIMPL; }
  HRESULT get_Postfixes(Variant*) override { return E_NOTIMPL; }
  HRESULT get_Substitutions(Variant*) override { return E_NOTIMPL; }
  HRESULT ParseReal(const std::wstring&, double*, std::wstring*, std::wstring*,
                    std::wstring*) override {
    return E_NOTIMPL;
  }
  HRESULT ParseInteger(const std::wstring&, int32_t*, std::wstring*, std::wstring*,
                       std::wstring*) override {
    return E_NOTIMPL;
  }

 private:
  Data data_;
};

class FakeFileService final : public ComObject<DispatchImpl<IOVFileService>> {
 public:
  explicit FakeFileService(Data data) : data_(std::move(data)) { ++data_->file_services_made; }

  HRESULT AddFile(const std::wstring&, VARIANT_BOOL, IDispatch*, int32_t*) override {
    return E_NOTIMPL;
  }
  HRESULT CheckOut(int32_t, IDispatch*, std::wstring*) override { return E_NOTIMPL; }
  HRESULT CheckIn(int32_t, IDispatch*) override { return E_NOTIMPL; }
  HRESULT UndoCheckOut(int32_t, IDispatch*) override { return E_NOTIMPL; }
  HRESULT ConvertToEmbedded(int32_t, IDispatch*) override { return E_NOTIMPL; }
  HRESULT FileRecord(int32_t, IDispatch*, std::wstring*, std::wstring*, VARIANT_BOOL*) override {
    return E_NOTIMPL;
  }
  HRESULT put_WorkingFolder(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT OwnCheckOut(int32_t, const std::wstring&, IDispatch*, std::wstring*) override {
    return E_NOTIMPL;
  }
  HRESULT GetCopy(int32_t, IDispatch*, std::wstring*) override { return E_NOTIMPL; }

 private:
  Data data_;
};

template <class T>
class FakeFactory final : public ComObject<IClassFactory> {
 public:
  explicit FakeFactory(Data data) : data_(std::move(data)) {}

  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<T>(iid, object, data_);
  }
  HRESULT LockServer(bool) override { return S_OK; }

 private:
  Data data_;
};

template <class T>
uint32_t RegisterFake(const CLSID& clsid, const Data& data) {
  uint32_t cookie = 0;
  CoRegisterClassObject(clsid, MakeObject<FakeFactory<T>>(data).get(), CLSCTX_INPROC_SERVER,
                        &cookie);
  return cookie;
}

}  // namespace

HRESULT FakeHostData::Fails(const std::wstring& member) const {
  if (const auto thrown = throws.find(member); thrown != throws.end()) {
    std::rethrow_exception(thrown->second);
  }
  const auto failure = failures.find(member);
  if (failure == failures.end()) return S_OK;
  return SetErrorResult(failure->second, member + L" failed", L"FakeHost");
}

FakeHost::FakeHost() : data_(std::make_shared<FakeHostData>()) {
  cookies_[CLSID_CaseList] = RegisterFake<FakeCaseList>(CLSID_CaseList, data_);
  cookies_[CLSID_GoverningCase] = RegisterFake<FakeGoverningCase>(CLSID_GoverningCase, data_);
  cookies_[CLSID_FieldFormatter] = RegisterFake<FakeFieldFormatter>(CLSID_FieldFormatter, data_);
  cookies_[CLSID_FileService] = RegisterFake<FakeFileService>(CLSID_FileService, data_);
}

FakeHost::~FakeHost() {
  for (const auto& [clsid, cookie] : cookies_) CoRevokeClassObject(cookie);
}

ComPtr<IOVWorkspace> FakeHost::NewWorkspace() const { return MakeObject<FakeWorkspace>(data_); }

ComPtr<IOVCache> FakeHost::NewCache() const { return MakeObject<FakeCache>(data_); }

void FakeHost::Unregister(const CLSID& clsid) {
  const auto registration = cookies_.find(clsid);
  if (registration == cookies_.end()) return;
  CoRevokeClassObject(registration->second);
  cookies_.erase(registration);
}

ThreadError TakeThreadError() {
  ThreadError taken;
  if (const ComPtr<IErrorInfo> error = GetErrorInfo()) {
    error->GetDescription(&taken.description);
    error->GetSource(&taken.source);
  }
  return taken;
}

}  // namespace ovc::host_testing
