#include "automation/error_info.h"

#include <utility>

#include "automation/com_object.h"

namespace ovc {
namespace {

class ErrorInfo final : public ComObject<IErrorInfo> {
 public:
  ErrorInfo(std::wstring description, std::wstring source, const IID& iid)
      : description_(std::move(description)), source_(std::move(source)), iid_(iid) {}

  HRESULT GetGUID(GUID* iid) override { return Store(iid_, iid); }
  HRESULT GetSource(std::wstring* source) override { return Store(source_, source); }
  HRESULT GetDescription(std::wstring* description) override {
    return Store(description_, description);
  }

 private:
  template <class T>
  static HRESULT Store(const T& field, T* out) {
    if (out == nullptr) return E_POINTER;
    *out = field;
    return S_OK;
  }

  const std::wstring description_;
  const std::wstring source_;
  const IID iid_;
};

class ErrorRecords final : public ComObject<IErrorInfo, IErrorRecords> {
 public:
  explicit ErrorRecords(std::vector<ComPtr<IErrorInfo>> records) : records_(std::move(records)) {}

  HRESULT GetGUID(GUID* iid) override {
    if (iid == nullptr) return E_POINTER;
    *iid = IID_NULL;
    return records_.empty() ? S_OK : records_.front()->GetGUID(iid);
  }
  HRESULT GetSource(std::wstring* source) override {
    if (source == nullptr) return E_POINTER;
    source->clear();
    return records_.empty() ? S_OK : records_.front()->GetSource(source);
  }
  HRESULT GetDescription(std::wstring* description) override {
    if (description == nullptr) return E_POINTER;
    description->clear();
    return records_.empty() ? S_OK : records_.front()->GetDescription(description);
  }

  HRESULT GetRecordCount(uint32_t* count) override {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<uint32_t>(records_.size());
    return S_OK;
  }
  HRESULT GetErrorInfo(uint32_t index, IErrorInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index >= records_.size()) return DISP_E_BADINDEX;
    *info = ComPtr<IErrorInfo>(records_[index]).Detach();
    return S_OK;
  }

 private:
  const std::vector<ComPtr<IErrorInfo>> records_;
};

// The thread's current error object; released by the thread's exit.
thread_local ComPtr<IErrorInfo> current_error;

}  // namespace

ComPtr<IErrorInfo> CreateErrorInfo(std::wstring description, std::wstring source, const IID& iid) {
  return MakeObject<ErrorInfo>(std::move(description), std::move(source), iid);
}

ComPtr<IErrorInfo> CreateErrorRecords(std::vector<ComPtr<IErrorInfo>> records) {
  return MakeObject<ErrorRecords>(std::move(records));
}

void SetErrorInfo(ComPtr<IErrorInfo> info) { current_error = std::move(info); }

ComPtr<IErrorInfo> GetErrorInfo() { return std::exchange(current_error, nullptr); }

std::wstring DescriptionOf(IErrorInfo* error) {
  std::wstring description;
  if (error != nullptr) error->GetDescription(&description);
  return description;
}

std::wstring TakeErrorDescription() { return DescriptionOf(GetErrorInfo().get()); }

std::wstring SourceOf(IErrorInfo* error) {
  std::wstring source;
  if (error != nullptr) error->GetSource(&source);
  return source;
}

HRESULT SetErrorResult(HRESULT code, std::wstring description, std::wstring source,
                       const IID& iid) {
  SetErrorInfo(CreateErrorInfo(std::move(description), std::move(source), iid));
  return code;
}

}  // namespace ovc
