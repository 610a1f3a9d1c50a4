#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "automation/conversion.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/links/app_value_reader.h"

namespace ovc::links {

// A Link bound to an attribute of the given type whose field formatter takes
// plain numbers only, keeping nothing but the value read and the number of
// status lines: light enough to measure the reading, not the Link. The
// format and type texts must outlive it.
class PlainReadLink final : public ReadableLink {
 public:
  PlainReadLink(std::wstring_view format, Variant raw, std::wstring_view type, VARTYPE orvan_type)
      : format_(format), raw_(std::move(raw)), type_(type), orvan_type_(orvan_type) {}

  const Variant& RawAppValue() override { return raw_; }
  void SetRawAppValue(Variant value) override { raw_ = std::move(value); }
  VARTYPE OrvanValueType() override { return orvan_type_; }
  std::wstring ReadFormat() override { return std::wstring(format_); }
  std::wstring ReadLocation() override { return L"Here"; }
  std::wstring CaseResolvedName() override { return L"Case"; }
  HRESULT PutAppValue(const Variant& value) override {
    value_ = value;
    return S_OK;
  }
  void StoreAppValue(Variant value) override { value_ = std::move(value); }
  Variant Descriptive(DescriptiveKind) override { return Variant(L""); }
  void SetDescriptive(DescriptiveKind, Variant) override {}
  bool Flag(ReadFlag) override { return false; }
  void SetFlag(ReadFlag) override {}
  void SetError() override {}
  void AppendStatus(std::wstring_view) override { ++lines_; }
  void ResetLinkFormatData() override {}
  bool HasAttribute() override { return true; }
  HRESULT SetDataModelSvcs() override { return S_OK; }
  std::wstring AttributeType() override { return std::wstring(type_); }
  HRESULT ParseField(std::wstring_view text, bool, FieldParse* parse) override {
    double number = 0;
    if (!ParseDouble(text, &number)) return E_INVALIDARG;
    parse->value = Variant(number);
    return S_OK;
  }

  const Variant& value() const { return value_; }
  int lines() const { return lines_; }

 private:
  std::wstring_view format_;
  Variant raw_;
  std::wstring_view type_;
  VARTYPE orvan_type_;
  Variant value_;
  int lines_ = 0;
};

}  // namespace ovc::links
