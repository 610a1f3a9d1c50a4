// How a CLink publishes its host value and reads application values: it
// answers the value formatting and reading engines through LinkFacts and
// ReadableLink.
#include <optional>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/locale_service.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/links/app_value_reader.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/value_format.h"

namespace ovc::links {
namespace {

// The text a getter gives, or nothing when it fails (its error dropped).
template <class Getter>
std::optional<std::wstring> TextOrNothing(Getter&& get) {
  std::wstring text;
  if (Succeeded(get(&text))) return text;
  SetErrorInfo(nullptr);
  return std::nullopt;
}

}  // namespace

class CLink::Facts final : public LinkFacts {
 public:
  explicit Facts(CLink& link) : link_(link) {}

  std::optional<std::wstring> Fact(std::wstring_view name) override {
    if (name == L"AttName") return link_.attrib_name_;
    if (name == L"LinkDesc") return link_.description_;
    if (name == L"writeLoc") return link_.write_location_;
    if (name == L"ReadLoc") return link_.read_location_;
    if (name == L"Case") {
      return TextOrNothing([&](std::wstring* text) { return link_.get_CaseResolvedName(text); });
    }
    if (name == L"ClassView" || name == L"Object") return ParentText(name);
    if (name == L"Type") return TypeText();
    if (name == L"Unit" && Bound()) return UnitString();
    return std::nullopt;
  }

  std::optional<std::wstring> UnitDefaultFormat() override {
    const std::optional<std::wstring> unit =
        TextOrNothing([&](std::wstring* text) { return link_.get_UnitSysNameResolved(text); });
    if (!unit || !link_.parent_) return std::nullopt;
    return TextOrNothing(
        [&](std::wstring* text) { return link_.parent_->GetUnitDefaultFormat(*unit, text); });
  }

  bool HasQuantityType() override { return Bound() && link_.binding_.quantity_type; }

  std::wstring UnitString() override {
    return TextOrNothing([&](std::wstring* text) { return link_.get_UnitStringResolved(text); })
        .value_or(std::wstring());
  }

  Variant ValidTexts(DescriptiveKind kind) override {
    const ComPtr<IOVFieldFormatter> formatter = HostState::Current().field_formatter();
    Variant texts;
    if (!formatter) return texts;
    const HRESULT hr = kind == DescriptiveKind::kPrefix    ? formatter->get_Prefixes(&texts)
                       : kind == DescriptiveKind::kPostfix ? formatter->get_Postfixes(&texts)
                                                           : formatter->get_Substitutions(&texts);
    if (Failed(hr)) {
      SetErrorInfo(nullptr);
      texts.Clear();
    }
    return texts;
  }

 private:
  // Whether the Link has its attribute, binding it first when it has none.
  bool Bound() {
    if (!link_.binding_.attribute) link_.Bind();
    return static_cast<bool>(link_.binding_.attribute);
  }

  std::optional<std::wstring> ParentText(std::wstring_view name) {
    if (!link_.parent_) return std::nullopt;
    return TextOrNothing([&](std::wstring* text) {
      return name == L"ClassView" ? link_.parent_->get_Class(text)
                                  : link_.parent_->get_ObjectName(text);
    });
  }

  std::optional<std::wstring> TypeText() {
    if (!Bound()) return std::nullopt;
    std::optional<std::wstring> type =
        TextOrNothing([&](std::wstring* text) { return link_.binding_.attribute->get_Type(text); });
    if (!type || !link_.binding_.quantity_type) return type;
    const std::optional<std::wstring> quantity = TextOrNothing(
        [&](std::wstring* text) { return link_.binding_.quantity_type->get_Name(text); });
    return *type + L": " + quantity.value_or(std::wstring());
  }

  CLink& link_;
};

class CLink::Reader final : public ReadableLink {
 public:
  explicit Reader(CLink& link) : link_(link) {}

  const Variant& RawAppValue() override { return link_.raw_app_value_; }
  void SetRawAppValue(Variant value) override { link_.raw_app_value_ = std::move(value); }
  VARTYPE OrvanValueType() override { return link_.orvan_value_.vt(); }
  std::wstring ReadFormat() override { return link_.read_format_; }
  std::wstring ReadLocation() override { return link_.read_location_; }
  std::wstring CaseResolvedName() override {
    return TextOrNothing([&](std::wstring* text) { return link_.get_CaseResolvedName(text); })
        .value_or(std::wstring());
  }

  HRESULT PutAppValue(const Variant& value) override { return link_.put_AppValue(value); }
  void StoreAppValue(Variant value) override { link_.app_value_ = std::move(value); }
  Variant Descriptive(DescriptiveKind kind) override { return Text(kind); }
  void SetDescriptive(DescriptiveKind kind, Variant text) override { Text(kind) = std::move(text); }
  bool Flag(ReadFlag flag) override { return FlagOf(flag); }
  void SetFlag(ReadFlag flag) override { FlagOf(flag) = true; }
  void SetError() override { link_.error_ = true; }
  void AppendStatus(std::wstring_view line) override { link_.AppendLine(line); }
  void ResetLinkFormatData() override { link_.ResetLinkFormatData(); }

  bool HasAttribute() override { return static_cast<bool>(link_.binding_.attribute); }
  HRESULT SetDataModelSvcs() override { return link_.SetDataModelSvcs(); }
  std::wstring AttributeType() override {
    if (!link_.binding_.attribute) return std::wstring();
    return TextOrNothing(
               [&](std::wstring* text) { return link_.binding_.attribute->get_Type(text); })
        .value_or(std::wstring());
  }

  HRESULT ParseField(std::wstring_view text, bool integer, FieldParse* parse) override {
    const ComPtr<IOVFieldFormatter> formatter = HostState::Current().field_formatter();
    if (!formatter) return E_POINTER;
    const std::wstring field(text);
    return integer ? formatter->ParseInteger(field, &parse->value, &parse->prefix, &parse->postfix,
                                             &parse->substitution)
                   : formatter->ParseReal(field, &parse->value, &parse->prefix, &parse->postfix,
                                          &parse->substitution);
  }

 private:
  Variant& Text(DescriptiveKind kind) {
    return kind == DescriptiveKind::kPrefix    ? link_.prefix_
           : kind == DescriptiveKind::kPostfix ? link_.postfix_
                                               : link_.substitution_;
  }
  bool& FlagOf(ReadFlag flag) {
    switch (flag) {
      case ReadFlag::kPrefix:
        return link_.flags_.prefix_read_from_app;
      case ReadFlag::kPostfix:
        return link_.flags_.postfix_read_from_app;
      case ReadFlag::kSubstitution:
        return link_.flags_.substitution_read_from_app;
      case ReadFlag::kValue:
        break;
    }
    return link_.flags_.read_value_from_app;
  }

  CLink& link_;
};

HRESULT CLink::get_PublishedValue(VARIANT_BOOL string_only, VARIANT_BOOL apply_format,
                                  Variant* value) {
  CMethodFrame frame(L"CLink::get_PublishedValue");
  return RunMethod(frame, [&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    Facts facts(*this);
    return PublishValue(orvan_value_, write_format_, prefix_, postfix_, substitution_,
                        string_only != VARIANT_FALSE, apply_format != VARIANT_FALSE, facts,
                        UserNumberLayout(), value);
  });
}

HRESULT CLink::ConvertAppValue(const std::wstring& app_name) {
  CMethodFrame frame(L"CLink::ConvertAppValue");
  return RunMethod(frame, [&] {
    Facts facts(*this);
    Reader reader(*this);
    links::ConvertAppValue(reader, app_name, facts, UserNumberLayout());
  });
}

}  // namespace ovc::links
