#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/variant.h"
#include "ovcbridgesvcs/frame/locale_service.h"
#include "ovcbridgesvcs/links/value_format.h"

namespace ovc::links {

// The descriptive texts that accompany one value ("" when there is none).
struct DescriptiveTexts {
  std::wstring_view prefix;
  std::wstring_view postfix;
  std::wstring_view substitution;
};

// The text of a VT_BSTR; "" for any other value.
inline std::wstring_view TextOf(const Variant& value) {
  return value.vt() == VT_BSTR ? std::wstring_view(value.bstr()) : std::wstring_view();
}

// The text a template gives one value, and whether the template named a fact
// of the Link (which makes an array publish one text only).
struct Expansion {
  std::wstring text;
  bool names_link_fact = false;
};

// A template split once into literal text and tokens, expanded for any
// number of values. Holds views of `format`, `facts` and `layout`, which must
// outlive it. Never throws but for lack of memory.
class TemplateExpander {
 public:
  TemplateExpander(std::wstring_view format, LinkFacts& facts,
                   const std::optional<NumberLayout>& layout);

  Expansion Expand(const Variant& value, const DescriptiveTexts& texts) const;

 private:
  struct Piece {
    bool is_token = false;
    std::wstring_view text;
    std::wstring rewritten;  // a unit-default token in the form it stands for
    std::wstring_view Text() const { return rewritten.empty() ? text : rewritten; }
  };

  std::wstring UnitDefaultRewrite(std::wstring_view token);

  LinkFacts& facts_;
  const std::optional<NumberLayout>& layout_;
  std::vector<Piece> pieces_;
  std::optional<std::optional<std::wstring>> unit_default_format_;
};

// Everything a token renderer may use for the value being expanded.
struct TokenContext {
  const Variant& value;
  const DescriptiveTexts& texts;
  LinkFacts& facts;
  const std::optional<NumberLayout>& layout;
};

// The renderers of the number families, for a value of type VT_R8 or
// VT_EMPTY (RenderReal) or VT_I4 (RenderInteger); they append to *out.
void RenderReal(std::wstring_view token, const TokenContext& context, std::wstring* out);
void RenderInteger(std::wstring_view token, const TokenContext& context, std::wstring* out);

}  // namespace ovc::links
