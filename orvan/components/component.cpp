#include "orvan/components/component.h"

#include "automation/safe_array.h"

namespace ovc::orvan::components {

std::wstring ComponentSource(const IID& iid) {
  for (const CoclassInfo* coclass : OrvanHostTypeLibrary().coclasses) {
    if (coclass->default_interface != nullptr && coclass->default_interface->iid == iid) {
      return L"Orvan." + std::wstring(coclass->name);
    }
  }
  return L"Orvan";
}

HRESULT HresultOf(const Status& status) {
  switch (status.code()) {
    case Status::Code::kOk:
      return S_OK;
    case Status::Code::kNotFound:
    case Status::Code::kInvalidArgument:
      return E_INVALIDARG;
    default:
      return E_FAIL;
  }
}

std::wstring PositionError(std::wstring_view what, int32_t position, size_t count) {
  std::wstring message =
      L"There is no " + std::wstring(what) + L" at position " + std::to_wstring(position);
  if (count == 0) return message + L"; there are none.";
  return message + L"; positions run from 1 to " + std::to_wstring(count) + L".";
}

Variant TextArray(const std::vector<std::wstring>& texts) {
  std::vector<Variant> values;
  values.reserve(texts.size());
  for (const std::wstring& text : texts) values.push_back(Variant::Str(text));
  return Variant(SafeArray::FromValues(std::move(values)));
}

Variant TextArray(const std::vector<std::string>& texts) {
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  for (const std::string& text : texts) wide.push_back(FromUtf8(text));
  return TextArray(wide);
}

}  // namespace ovc::orvan::components
