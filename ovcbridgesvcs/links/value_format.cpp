#include "ovcbridgesvcs/links/value_format.h"

#include <array>
#include <utility>
#include <vector>

#include "automation/conversion.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/links/template_expansion.h"

namespace ovc::links {

namespace {

struct ValidTextsTemplate {
  std::wstring_view format;
  DescriptiveKind kind;
};
constexpr std::array<ValidTextsTemplate, 3> kValidTexts = {{
    {L"/!ValidPrefixes!/", DescriptiveKind::kPrefix},
    {L"/!ValidPostfixes!/", DescriptiveKind::kPostfix},
    {L"/!ValidSubstitutions!/", DescriptiveKind::kSubstitution},
}};

// Element `index` of an array of texts, "" when there is none.
std::wstring_view ElementText(const Variant& texts, size_t index) {
  if (!texts.IsArray() || texts.array().element_type() != VT_VARIANT) return {};
  const std::span<const Variant> elements = texts.array().data();
  return index < elements.size() ? TextOf(elements[index]) : std::wstring_view();
}

Variant TextVector(std::vector<Variant> texts) {
  return Variant(SafeArray::FromValues(std::move(texts)));
}

Variant PublishArray(const Variant& value, const TemplateExpander& expander, const Variant& prefix,
                     const Variant& postfix, const Variant& substitution) {
  const std::span<const Variant> elements = value.array().data();
  std::vector<Variant> texts;
  texts.reserve(elements.size());
  for (size_t index = 0; index < elements.size(); ++index) {
    const DescriptiveTexts element_texts{ElementText(prefix, index), ElementText(postfix, index),
                                         ElementText(substitution, index)};
    Expansion expansion = expander.Expand(elements[index], element_texts);
    if (expansion.names_link_fact) return Variant(std::move(expansion.text));
    texts.emplace_back(std::move(expansion.text));
  }
  return TextVector(std::move(texts));
}

HRESULT AsText(const Variant& value, Variant* out) {
  if (!value.IsArray()) return VariantChangeType(out, value, VARIANT_ALPHABOOL, VT_BSTR);
  std::vector<Variant> texts(value.array().size());
  for (size_t index = 0; index < texts.size(); ++index) {
    const HRESULT converted =
        VariantChangeType(&texts[index], value.array().data()[index], VARIANT_ALPHABOOL, VT_BSTR);
    if (Failed(converted)) return converted;
  }
  *out = TextVector(std::move(texts));
  return S_OK;
}

}  // namespace

HRESULT PublishValue(const Variant& value, std::wstring_view write_format, const Variant& prefix,
                     const Variant& postfix, const Variant& substitution, bool string_only,
                     bool apply_format, LinkFacts& facts, const std::optional<NumberLayout>& layout,
                     Variant* out) {
  for (const ValidTextsTemplate& valid : kValidTexts) {
    if (write_format == valid.format) {
      *out = facts.ValidTexts(valid.kind);
      return S_OK;
    }
  }
  if (apply_format && !write_format.empty() && write_format != L"/!Row!/") {
    const TemplateExpander expander(write_format, facts, layout);
    if (value.IsArray()) {
      *out = PublishArray(value, expander, prefix, postfix, substitution);
      return S_OK;
    }
    Expansion expansion =
        expander.Expand(value, {TextOf(prefix), TextOf(postfix), TextOf(substitution)});
    *out = expansion.text.empty() ? value : Variant(std::move(expansion.text));
    return S_OK;
  }
  if (string_only) return AsText(value, out);
  *out = value;
  return S_OK;
}

}  // namespace ovc::links
