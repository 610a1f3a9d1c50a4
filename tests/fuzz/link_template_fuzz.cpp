#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/links/value_format.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::links {
namespace {

// Facts that name themselves, so that fact tokens produce text.
class EchoFacts final : public LinkFacts {
 public:
  std::optional<std::wstring> Fact(std::wstring_view name) override { return std::wstring(name); }
  std::optional<std::wstring> UnitDefaultFormat() override { return L"/!Magnitude(4)!/"; }
  bool HasQuantityType() override { return true; }
  std::wstring UnitString() override { return L"kPa"; }
  Variant ValidTexts(DescriptiveKind) override { return Variant(L"valid"); }
};

std::vector<Variant> Values() {
  return {Variant(),
          Variant(1234.5678),
          Variant(-0.000123),
          Variant(1e308),
          Variant(-1e-308),
          Variant(0.0),
          Variant(std::numeric_limits<double>::quiet_NaN()),
          Variant(std::numeric_limits<double>::infinity()),
          Variant(-2147483647 - 1),
          Variant(true),
          Variant::Date(44190.5),
          Variant::Date(-700000.0),
          Variant(L"text"),
          Variant::Null(),
          Variant(SafeArray::FromValues({Variant(1.5), Variant(L"x"), Variant(false)}))};
}

}  // namespace
}  // namespace ovc::links

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ovc;
  using namespace ovc::links;
  static const std::vector<Variant> values = Values();
  const std::wstring format = FromUtf8(fuzz::Bytes(data, size));
  const Variant texts(SafeArray::FromValues({Variant(L"P"), Variant(L"Q")}));
  EchoFacts facts;
  for (const std::optional<NumberLayout>& layout :
       {std::optional<NumberLayout>(NumberLayout{}), std::optional<NumberLayout>()}) {
    for (const Variant& value : values) {
      const bool array = value.IsArray();
      Variant out;
      fuzz::Require(PublishValue(value, format, array ? texts : Variant(L"P"), Variant(L"Q"),
                                 Variant(), false, true, facts, layout, &out) == S_OK,
                    "a template never fails the call");
      fuzz::Require(out.vt() == VT_BSTR || out.vt() == value.vt(),
                    "a value publishes as text or as itself");
    }
  }
  return 0;
}
