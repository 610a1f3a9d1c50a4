#include "ovcbridgesvcs/links/template_expansion.h"

#include <array>

#include "ovcbridgesvcs/links/date_format.h"
#include "ovcbridgesvcs/links/template_token.h"

namespace ovc::links {

namespace {

constexpr std::wstring_view kRow = L"/!Row!/";
constexpr std::wstring_view kUnitDefault = L"/!UnitDefault";
constexpr std::wstring_view kUnitDefaultStandIn = L"/!Number(%G)";

struct LinkFactToken {
  std::wstring_view token;
  std::wstring_view name;  // empty: consumed without text
};
constexpr std::array<LinkFactToken, 10> kLinkFacts = {{
    {L"/!AttName!/", L"AttName"},
    {L"/!AttDesc!/", L""},
    {L"/!Case!/", L"Case"},
    {L"/!Type!/", L"Type"},
    {L"/!ClassView!/", L"ClassView"},
    {L"/!Object!/", L"Object"},
    {L"/!LinkDesc!/", L"LinkDesc"},
    {L"/!writeLoc!/", L"writeLoc"},
    {L"/!ReadLoc!/", L"ReadLoc"},
    {L"/!Unit!/", L"Unit"},
}};

struct Rendering {
  std::wstring text;
  bool link_fact = false;
};

using Renderer = bool (*)(std::wstring_view token, const TokenContext& context, Rendering* out);

bool RenderLinkFact(std::wstring_view token, const TokenContext& context, Rendering* out) {
  for (const LinkFactToken& fact : kLinkFacts) {
    if (token != fact.token) continue;
    out->link_fact = true;
    if (fact.name.empty()) return true;
    if (std::optional<std::wstring> text = context.facts.Fact(fact.name)) out->text.append(*text);
    return true;
  }
  return false;
}

bool RenderDescriptive(std::wstring_view token, const TokenContext& context, Rendering* out) {
  if (token == L"/!Prefix!/") {
    out->text.append(context.texts.prefix);
  } else if (token == L"/!Postfix!/") {
    out->text.append(context.texts.postfix);
  } else if (token == L"/!Substitution!/") {
    out->text.append(context.texts.substitution);
  } else {
    return false;
  }
  return true;
}

bool RenderBoolean(std::wstring_view token, const TokenContext& context, Rendering* out) {
  constexpr std::wstring_view kOpening = L"/!Bool(";
  if (!token.starts_with(kOpening)) return false;
  const std::optional<BoolTexts> texts = QuotedTexts(token, kOpening);
  if (!texts) return true;
  if (context.value.vt() == VT_BOOL) {
    out->text.append(context.value.boolVal() != VARIANT_FALSE ? (*texts)[0] : (*texts)[1]);
  } else if (context.value.IsEmpty()) {
    out->text.append((*texts)[2]);
  }
  return true;
}

bool RenderRealFamily(std::wstring_view token, const TokenContext& context, Rendering* out) {
  if (context.value.vt() != VT_R8 && !context.value.IsEmpty()) return false;
  RenderReal(token, context, &out->text);
  return true;
}

bool RenderIntegerFamily(std::wstring_view token, const TokenContext& context, Rendering* out) {
  if (context.value.vt() != VT_I4) return false;
  RenderInteger(token, context, &out->text);
  return true;
}

bool RenderDate(std::wstring_view token, const TokenContext& context, Rendering* out) {
  if (context.value.vt() != VT_DATE) return false;
  const std::optional<std::wstring_view> format = Argument(token, L"/!Date(");
  if (!format) return false;
  if (std::optional<std::wstring> text = FormatDateText(*format, context.value.date())) {
    out->text.append(*text);
  }
  return true;
}

// Tried in order; the first that claims a token renders it.
constexpr std::array<Renderer, 6> kRenderers = {RenderLinkFact,      RenderDescriptive,
                                                RenderBoolean,       RenderRealFamily,
                                                RenderIntegerFamily, RenderDate};

}  // namespace

TemplateExpander::TemplateExpander(std::wstring_view format, LinkFacts& facts,
                                   const std::optional<NumberLayout>& layout)
    : facts_(facts), layout_(layout) {
  size_t at = 0;
  size_t begin = 0;
  size_t end = 0;
  while (FindToken(format, at, &begin, &end)) {
    if (begin > at) pieces_.push_back({false, format.substr(at, begin - at), {}});
    Piece token{true, format.substr(begin, end - begin), {}};
    if (token.text.find(kUnitDefault) != std::wstring_view::npos) {
      token.rewritten = UnitDefaultRewrite(token.text);
    }
    pieces_.push_back(std::move(token));
    at = end;
  }
  if (at < format.size()) pieces_.push_back({false, format.substr(at), {}});
}

std::wstring TemplateExpander::UnitDefaultRewrite(std::wstring_view token) {
  if (!unit_default_format_) unit_default_format_ = facts_.UnitDefaultFormat();
  const std::wstring_view rest = token.substr(token.find(kUnitDefault) + kUnitDefault.size());
  std::wstring_view head = kUnitDefaultStandIn;
  if (const std::optional<std::wstring>& format = *unit_default_format_) {
    const size_t close = format->find(kTokenClose);
    if (close != std::wstring::npos) head = std::wstring_view(*format).substr(0, close);
  }
  std::wstring rewritten(head);
  return rewritten.append(rest);
}

Expansion TemplateExpander::Expand(const Variant& value, const DescriptiveTexts& texts) const {
  const TokenContext context{value, texts, facts_, layout_};
  Rendering rendering;
  for (const Piece& piece : pieces_) {
    if (!piece.is_token) {
      rendering.text.append(piece.text);
      continue;
    }
    const std::wstring_view token = piece.Text();
    if (token == kRow) continue;
    for (Renderer renderer : kRenderers) {
      if (renderer(token, context, &rendering)) break;
    }
  }
  return {std::move(rendering.text), rendering.link_fact};
}

}  // namespace ovc::links
