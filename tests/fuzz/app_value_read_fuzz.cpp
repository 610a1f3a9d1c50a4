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
#include "bench/plain_read_link.h"
#include "ovcbridgesvcs/links/app_value_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::links {
namespace {

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
        PlainReadLink link(format, raw, type, orvan_type);
        ConvertAppValue(link, L"File", facts, NumberLayout{});
        fuzz::Require(link.lines() >= 1, "every reading tells its outcome");
      }
    }
  }
  return 0;
}
