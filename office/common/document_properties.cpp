#include "office/common/document_properties.h"

#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"

namespace ovc::office {

DocumentProperties::DocumentProperties(std::wstring_view source, ComPtr<IDispatch> owner,
                                       PropertiesHost* host)
    : OfficeObject(source), owner_(std::move(owner)), host_(host) {}

HRESULT DocumentProperties::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(CoreProperties::Count());
  return S_OK;
}

HRESULT DocumentProperties::get_Item(const Variant& index, IDispatch** property) {
  const Variant value = index.Dereferenced();
  std::wstring name;
  if (value.vt() == VT_BSTR) {
    name = value.bstr();
  } else {
    Variant position;
    if (Succeeded(VariantChangeType(&position, value, 0, VT_I4)) && position.i4() >= 1 &&
        static_cast<size_t>(position.i4()) <= CoreProperties::Count()) {
      name = CoreProperties::NameAt(static_cast<size_t>(position.i4() - 1));
    }
  }
  if (!CoreProperties::IsProperty(name)) {
    return Fail(DISP_E_BADINDEX, Describe(host_->file_name(), "BuiltinDocumentProperties",
                                          "no built-in document property '" + ToUtf8(name) + "'"));
  }
  *property = MakeObject<DocumentProperty>(error_source(), owner_, host_, name).Detach();
  return S_OK;
}

DocumentProperty::DocumentProperty(std::wstring_view source, ComPtr<IDispatch> owner,
                                   PropertiesHost* host, std::wstring name)
    : OfficeObject(source), owner_(std::move(owner)), host_(host), name_(std::move(name)) {}

HRESULT DocumentProperty::get_Name(std::wstring* name) {
  *name = name_;
  return S_OK;
}

HRESULT DocumentProperty::get_Value(Variant* value) {
  std::string reason;
  const HRESULT hr = host_->core_properties().Get(name_, value, &reason);
  if (Failed(hr)) {
    return Fail(hr, Describe(host_->file_name(), "property '" + ToUtf8(name_) + "'", reason));
  }
  return S_OK;
}

HRESULT DocumentProperty::put_Value(const Variant& value) {
  std::string reason;
  const HRESULT hr = host_->core_properties().Put(name_, value.Dereferenced(), &reason);
  if (Failed(hr)) {
    return Fail(hr, Describe(host_->file_name(), "property '" + ToUtf8(name_) + "'", reason));
  }
  host_->NotePropertiesChanged();
  return S_OK;
}

}  // namespace ovc::office
