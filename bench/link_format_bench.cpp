// Publishing 100,000 values through a mix of templates, and reading 100,000
// application texts back, against a plain snprintf / strtod loop over the
// same values. Prints the time per value and the ratios.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "automation/conversion.h"
#include "automation/variant.h"
#include "bench/plain_read_link.h"
#include "bench/ratio_reporter.h"
#include "ovcbridgesvcs/links/app_value_reader.h"
#include "ovcbridgesvcs/links/value_format.h"

namespace ovc::links {
namespace {

constexpr int kValues = 100000;
constexpr std::array<std::wstring_view, 6> kTemplates = {
    L"/!Number(%.3f)!/",      L"/!NumberFmt(2)!/ kPa",     L"/!Percent(1)!/",
    L"/!Magnitude(4):Unit!/", L"/!Number(%G):DescrText!/", L"Flow: /!NumberFmt(-1)!/"};

double ValueOf(int i) { return (i - kValues / 2) * 12.3456789 + i * 1e-5; }

class BenchFacts final : public LinkFacts {
 public:
  std::optional<std::wstring> Fact(std::wstring_view name) override { return std::wstring(name); }
  std::optional<std::wstring> UnitDefaultFormat() override { return std::nullopt; }
  bool HasQuantityType() override { return true; }
  std::wstring UnitString() override { return L"kPa"; }
  Variant ValidTexts(DescriptiveKind) override { return Variant(); }
};

void BM_PublishValue(benchmark::State& state) {
  BenchFacts facts;
  const std::optional<NumberLayout> layout = NumberLayout{};
  const Variant prefix(L"~");
  const Variant none;
  size_t length = 0;
  for (auto _ : state) {
    for (int i = 0; i < kValues; ++i) {
      Variant out;
      PublishValue(Variant(ValueOf(i)), kTemplates[i % kTemplates.size()], prefix, none, none,
                   false, true, facts, layout, &out);
      length += out.bstr().size();
    }
  }
  benchmark::DoNotOptimize(length);
}

void BM_SnprintfFloor(benchmark::State& state) {
  size_t length = 0;
  for (auto _ : state) {
    for (int i = 0; i < kValues; ++i) {
      char text[64];
      const int written = std::snprintf(text, sizeof text, "%.3f", ValueOf(i));
      const Variant out(std::wstring(text, text + written));
      length += out.bstr().size();
    }
  }
  benchmark::DoNotOptimize(length);
}

std::vector<std::wstring> WideTexts() {
  std::vector<std::wstring> texts;
  for (int i = 0; i < kValues; ++i) texts.push_back(std::to_wstring(ValueOf(i)));
  return texts;
}

std::vector<std::string> NarrowTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < kValues; ++i) texts.push_back(std::to_string(ValueOf(i)));
  return texts;
}

void BM_ConvertAppValue(benchmark::State& state) {
  const std::vector<std::wstring> texts = WideTexts();
  BenchFacts facts;
  const std::optional<NumberLayout> layout = NumberLayout{};
  double sum = 0;
  for (auto _ : state) {
    for (const std::wstring& text : texts) {
      PlainReadLink link(L"", Variant(text), L"Real", VT_R8);
      ConvertAppValue(link, L"Book.xlsx", facts, layout);
      sum += link.value().r8();
    }
  }
  benchmark::DoNotOptimize(sum);
}

void BM_StrtodFloor(benchmark::State& state) {
  const std::vector<std::string> texts = NarrowTexts();
  double sum = 0;
  for (auto _ : state) {
    for (const std::string& text : texts) {
      const Variant value(std::strtod(text.c_str(), nullptr));
      sum += value.r8();
    }
  }
  benchmark::DoNotOptimize(sum);
}

BENCHMARK(BM_PublishValue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnprintfFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertAppValue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrtodFloor)->Unit(benchmark::kMillisecond);

// Times are in milliseconds per kValues values.
void PrintRatio(const bench::RatioReporter& reporter, const char* what, const std::string& ours,
                const std::string& floor) {
  const std::optional<double> time = reporter.Time(ours);
  const std::optional<double> floor_time = reporter.Time(floor);
  if (!time || !floor_time) return;
  std::printf("%s: %.0f ns per value, floor %.0f ns; ratio %.2f (goal: 5.00 or less)\n", what,
              *time * 1e6 / kValues, *floor_time * 1e6 / kValues, *time / *floor_time);
}

}  // namespace
}  // namespace ovc::links

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ovc::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  ovc::links::PrintRatio(reporter, "PublishedValue / snprintf", "BM_PublishValue",
                         "BM_SnprintfFloor");
  ovc::links::PrintRatio(reporter, "ConvertAppValue / strtod", "BM_ConvertAppValue",
                         "BM_StrtodFloor");
  benchmark::Shutdown();
  return 0;
}
