#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/locale_service.h"

namespace ovc::links {

// The three descriptive texts the host keeps beside a value.
enum class DescriptiveKind { kPrefix, kPostfix, kSubstitution };

// What a template may ask of the Link it is published for (CLink implements
// it). Calls never throw; a host call that fails shows as "nothing".
class LinkFacts {
 public:
  virtual ~LinkFacts() = default;
  // The text of a link-fact token, given by its name without markers
  // ("AttName", "Case", "Type", "ClassView", "Object", "LinkDesc",
  // "writeLoc", "ReadLoc", "Unit"); nullopt when the token produces nothing.
  virtual std::optional<std::wstring> Fact(std::wstring_view name) = 0;
  // The parent LinkSet's default unit format for the Link's resolved unit
  // system; nullopt when either cannot be had.
  virtual std::optional<std::wstring> UnitDefaultFormat() = 0;
  // Whether the Link has a quantity type, binding the Link to its attribute
  // first when it has none.
  virtual bool HasQuantityType() = 0;
  // The Link's resolved unit text.
  virtual std::wstring UnitString() = 0;
  // The host field formatter's valid prefixes, postfixes or substitutions as
  // it returns them; VT_EMPTY when the host has no field formatter.
  virtual Variant ValidTexts(DescriptiveKind kind) = 0;
};

// The value a Link publishes to an application for its host value `value`,
// its template `write_format` and its descriptive texts, into *out:
// - "/!ValidPrefixes!/", "/!ValidPostfixes!/", "/!ValidSubstitutions!/": the
//   field formatter's list;
// - with `apply_format` and a template other than "" and "/!Row!/": the
//   expanded template (an array value element by element, one text when the
//   template names a fact of the Link); an empty scalar expansion gives the
//   value itself;
// - else with `string_only`: the value (or each element) as text;
// - else the value unchanged.
// `layout` is the user's number layout, nullopt when it cannot be had (the
// locale-dependent number tokens then produce nothing). Returns S_OK, or the
// failure of a text conversion under `string_only` (*out unchanged).
HRESULT PublishValue(const Variant& value, std::wstring_view write_format, const Variant& prefix,
                     const Variant& postfix, const Variant& substitution, bool string_only,
                     bool apply_format, LinkFacts& facts, const std::optional<NumberLayout>& layout,
                     Variant* out);

}  // namespace ovc::links
