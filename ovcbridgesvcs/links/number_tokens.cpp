// The renderers of the number token families: "/!Number(", "/!Percent(",
// "/!NumberFmt(", "/!Magnitude(" for reals, "/!Integer" and "/!IntegerFmt("
// for integers, with their ":DescrText" and ":Unit" modifiers.
#include <charconv>
#include <cmath>
#include <string>

#include "ovcbridgesvcs/links/floating_format.h"
#include "ovcbridgesvcs/links/number_layout.h"
#include "ovcbridgesvcs/links/template_expansion.h"
#include "ovcbridgesvcs/links/template_token.h"

namespace ovc::links {

namespace {

constexpr std::wstring_view kDescrText = L":DescrText";
constexpr std::wstring_view kUnit = L":Unit";
// Decimals of the fixed form that "/!NumberFmt(" rounds from.
constexpr int kNumberFmtPrintDecimals = 13;

bool Has(std::wstring_view token, std::wstring_view modifier) {
  return token.find(modifier) != std::wstring_view::npos;
}

LayoutRules UserRules(const NumberLayout& layout, int decimals) {
  return {decimals, true, false, layout.decimal_separator, layout.thousands_separator};
}

void Append(std::wstring* out, const std::optional<std::wstring>& text) {
  if (text) out->append(*text);
}

std::optional<std::wstring> Percent(std::wstring_view argument, double value,
                                    const NumberLayout& layout) {
  const int decimals = Count(argument, 0);
  if (decimals < 0) return std::nullopt;
  std::optional<std::wstring> text =
      LayOutNumber(PrintDouble('f', decimals, value * 100), UserRules(layout, decimals));
  if (text) text->push_back(L'%');
  return text;
}

std::optional<std::wstring> NumberFmt(std::wstring_view argument, double value,
                                      const NumberLayout& layout) {
  const int count = Count(argument, 0);
  const int decimals = count < 0 ? kMaxCount : count;
  return LayOutNumber(PrintDouble('f', kNumberFmtPrintDecimals, value),
                      UserRules(layout, decimals));
}

// `value` rounded to a number of significant digits.
std::optional<std::wstring> Magnitude(std::wstring_view argument, double value,
                                      const NumberLayout& layout) {
  const int digits = std::max(Count(argument, 1), 1);
  if (value == 0) return L"0";
  if (!std::isfinite(value)) return std::nullopt;
  const double size = std::fabs(value);
  const int exponent = static_cast<int>(std::trunc(std::log10(size)));
  if (exponent < digits) {
    const int decimals = digits - exponent - (size >= 1 ? 1 : 0);
    return LayOutNumber(PrintDouble('f', decimals, value), UserRules(layout, decimals));
  }
  const std::string scientific = PrintDouble('e', digits - 1, value);
  double rounded = 0;
  std::from_chars(scientific.data(), scientific.data() + scientific.size(), rounded);
  return LayOutNumber(PrintDouble('f', 6, rounded), UserRules(layout, 0));
}

// With ":DescrText", a substitution text stands for the whole token;
// otherwise the prefix and a blank come before what `body` appends, and a
// blank and the postfix after it unless `body` returns false.
template <class Body>
void WithDescriptiveTexts(std::wstring_view token, const DescriptiveTexts& texts, std::wstring* out,
                          Body body) {
  const bool descr = Has(token, kDescrText);
  if (descr && !texts.substitution.empty()) {
    out->append(texts.substitution);
    return;
  }
  if (descr && !texts.prefix.empty()) out->append(texts.prefix).push_back(L' ');
  if (body() && descr && !texts.postfix.empty()) out->append(L" ").append(texts.postfix);
}

}  // namespace

void RenderReal(std::wstring_view token, const TokenContext& context, std::wstring* out) {
  if (context.value.IsEmpty()) {
    if (Has(token, kDescrText)) out->append(context.texts.substitution);
    return;
  }
  const double value = context.value.r8();
  WithDescriptiveTexts(token, context.texts, out, [&] {
    if (const std::optional<std::wstring_view> format = Argument(token, L"/!Number(")) {
      Append(out, FormatFloating(*format, value));
    }
    if (!context.layout) return false;
    if (const std::optional<std::wstring_view> percent = Argument(token, L"/!Percent(")) {
      Append(out, Percent(*percent, value, *context.layout));
    } else if (const std::optional<std::wstring_view> fixed = Argument(token, L"/!NumberFmt(")) {
      Append(out, NumberFmt(*fixed, value, *context.layout));
    } else if (const std::optional<std::wstring_view> digits = Argument(token, L"/!Magnitude(")) {
      Append(out, Magnitude(*digits, value, *context.layout));
    }
    if (Has(token, kUnit) && context.facts.HasQuantityType()) {
      out->append(L" ").append(context.facts.UnitString());
    }
    return true;
  });
}

void RenderInteger(std::wstring_view token, const TokenContext& context, std::wstring* out) {
  const int32_t value = context.value.i4();
  WithDescriptiveTexts(token, context.texts, out, [&] {
    if (const std::optional<std::wstring_view> count = Argument(token, L"/!IntegerFmt(")) {
      const int decimals = Count(*count, 0) < 0 ? kMaxCount : Count(*count, 0);
      Append(out, LayOutNumber(std::to_string(value), {decimals, false, true, L".", L","}));
    } else if (token.starts_with(L"/!Integer") && !token.starts_with(L"/!IntegerFmt")) {
      out->append(std::to_wstring(value));
    }
    return true;
  });
}

}  // namespace ovc::links
