#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/conversion.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/links/app_value_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::links {
namespace {

// A Link bound to an attribute of the given type, whose field formatter
// takes plain numbers only.
class ReadLink final : public ReadableLink {
 public:
  ReadLink(std::wstring format, Variant raw, std::wstring type, VARTYPE orvan_type)
      : format_(std::move(format)),
        raw_(std::move(raw)),
        type_(std::move(type)),
        orvan_type_(orvan_type) {}

  const Variant& RawAppValue() override { return raw_; }
  void SetRawAppValue(Variant value) override { raw_ = std::move(value); }
  VARTYPE OrvanValueType() override { return orvan_type_; }
  std::wstring ReadFormat() override { return format_; }
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
  void AppendStatus(std::wstring_view line) override {
    ++lines_;
    (void)line;
  }
  void ResetLinkFormatData() override {}
  bool HasAttribute() override { return true; }
  HRESULT SetDataModelSvcs() override { return S_OK; }
  std::wstring AttributeType() override { return type_; }
  HRESULT ParseField(std::wstring_view text, bool, FieldParse* parse) override {
    double number = 0;
    if (!ParseDouble(text, &number)) return E_INVALIDARG;
    parse->value = Variant(number);
    return S_OK;
  }

  int lines() const { return lines_; }

 private:
  std::wstring format_;
  Variant raw_;
  std::wstring type_;
  VARTYPE orvan_type_;
  Variant value_;
  int lines_ = 0;
};

class NoFacts final : public LinkFacts {
 public:
  std::optional<std::wstring> Fact(std::wstring_view) override { return std::nullopt; }
  std::optional<std::wstring> UnitDefaultFormat() override { return L"/!NumberFmt(2)!/"; }
  bool HasQuantityType() override { return false; }
  std::wstring UnitString() override { return L""; }
  Variant ValidTexts(DescriptiveKind) override { return Variant(); }
};

}  // namespace
}  // namespace ovc::links

// The input is a read format, a line feed and the text read from the file;
// the text is read alone, and as a vector of its lines.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ovc;
  using namespace ovc::links;
  const std::wstring input = FromUtf8(fuzz::Bytes(data, size));
  const size_t newline = input.find(L'\n');
  const std::wstring format = input.substr(0, newline);
  const std::wstring text = newline == std::wstring::npos ? L"" : input.substr(newline + 1);
  std::vector<Variant> lines;
  for (size_t at = 0; at <= text.size() && lines.size() < 64;) {
    const size_t end = std::min(text.find(L'\n', at), text.size());
    lines.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  const Variant raws[] = {Variant(text), Variant(SafeArray::FromValues(lines))};
  NoFacts facts;
  for (const Variant& raw : raws) {
    for (const wchar_t* type : {L"Real", L"Integer", L"Enum", L"Text"}) {
      for (VARTYPE orvan_type : {VT_EMPTY, VT_DATE, VT_R8}) {
        ReadLink link(format, raw, type, orvan_type);
        ConvertAppValue(link, L"File", facts, NumberLayout{});
        fuzz::Require(link.lines() >= 1, "every reading tells its outcome");
      }
    }
  }
  return 0;
}
