#include "orvan/components/field_formatter.h"

#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

HRESULT FieldFormatter::put_Workspace(IDispatch* workspace) {
  return Report(SessionOf(workspace, &session_));
}

HRESULT FieldFormatter::Formatter(std::unique_ptr<orvan::FieldFormatter>* formatter) const {
  if (session_ == nullptr) {
    return Fail(E_UNEXPECTED,
                L"The field formatter has no workspace; set its Workspace property first.");
  }
  const Catalog* catalog = nullptr;
  if (HRESULT hr = Report(session_->GetCatalog(&catalog)); Failed(hr)) return hr;
  *formatter = std::make_unique<orvan::FieldFormatter>(catalog->texts);
  return S_OK;
}

HRESULT FieldFormatter::get_Prefixes(Variant* texts) {
  if (texts == nullptr) return E_POINTER;
  std::unique_ptr<orvan::FieldFormatter> formatter;
  if (HRESULT hr = Formatter(&formatter); Failed(hr)) return hr;
  *texts = TextArray(formatter->prefixes());
  return S_OK;
}

HRESULT FieldFormatter::get_Postfixes(Variant* texts) {
  if (texts == nullptr) return E_POINTER;
  std::unique_ptr<orvan::FieldFormatter> formatter;
  if (HRESULT hr = Formatter(&formatter); Failed(hr)) return hr;
  *texts = TextArray(formatter->postfixes());
  return S_OK;
}

HRESULT FieldFormatter::get_Substitutions(Variant* texts) {
  if (texts == nullptr) return E_POINTER;
  std::unique_ptr<orvan::FieldFormatter> formatter;
  if (HRESULT hr = Formatter(&formatter); Failed(hr)) return hr;
  *texts = TextArray(formatter->substitutions());
  return S_OK;
}

HRESULT FieldFormatter::Parse(const std::wstring& text, bool integer, Variant* value,
                              std::wstring* prefix, std::wstring* postfix,
                              std::wstring* substitution) const {
  if (value == nullptr || prefix == nullptr || postfix == nullptr || substitution == nullptr) {
    return E_POINTER;
  }
  std::unique_ptr<orvan::FieldFormatter> formatter;
  if (HRESULT hr = Formatter(&formatter); Failed(hr)) return hr;
  FieldValue parsed;
  const Status status =
      integer ? formatter->ParseInteger(text, &parsed) : formatter->ParseReal(text, &parsed);
  if (HRESULT hr = Report(status); Failed(hr)) return hr;
  *value = !parsed.number ? Variant()
           : integer      ? Variant(static_cast<int32_t>(*parsed.number))
                          : Variant(*parsed.number);
  *prefix = std::move(parsed.prefix);
  *postfix = std::move(parsed.postfix);
  *substitution = std::move(parsed.substitution);
  return S_OK;
}

HRESULT FieldFormatter::ParseReal(const std::wstring& text, Variant* value, std::wstring* prefix,
                                  std::wstring* postfix, std::wstring* substitution) {
  return Parse(text, false, value, prefix, postfix, substitution);
}

HRESULT FieldFormatter::ParseInteger(const std::wstring& text, Variant* value, std::wstring* prefix,
                                     std::wstring* postfix, std::wstring* substitution) {
  return Parse(text, true, value, prefix, postfix, substitution);
}

}  // namespace ovc::orvan::components
