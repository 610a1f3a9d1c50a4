#include "ovcbridgesvcs/links/app_value_reader.h"

#include <array>
#include <utility>
#include <vector>

#include "automation/conversion.h"
#include "automation/error_info.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/links/date_text.h"
#include "ovcbridgesvcs/links/template_expansion.h"
#include "ovcbridgesvcs/links/template_token.h"

namespace ovc::links {

namespace {

constexpr VARTYPE kVariantArray = VT_ARRAY | VT_VARIANT;

// The words that name a descriptive text in the status lines.
struct DescriptiveFormat {
  std::wstring_view format;
  DescriptiveKind kind;
  ReadFlag flag;
  std::wstring_view singular;
  std::wstring_view plural;
};
constexpr std::array<DescriptiveFormat, 3> kDescriptiveFormats = {{
    {L"/!Prefix!/", DescriptiveKind::kPrefix, ReadFlag::kPrefix, L"Prefix", L"Prefixes"},
    {L"/!Postfix!/", DescriptiveKind::kPostfix, ReadFlag::kPostfix, L"Postfix", L"Postfixes"},
    {L"/!Substitution!/", DescriptiveKind::kSubstitution, ReadFlag::kSubstitution, L"Substitution",
     L"Substitutions"},
}};

std::wstring Quoted(std::wstring_view text) {
  std::wstring quoted(L"\"");
  return quoted.append(text).append(L"\"");
}

Variant VectorOf(std::vector<Variant> values) {
  return Variant(SafeArray::FromValues(std::move(values)));
}

// The boolean and the date format.
struct ValueFormat {
  VARTYPE vt;                     // values of this type (or empty) are taken as they are
  std::wstring_view noun;         // "boolean", "date"
  std::wstring_view other_type;   // the line for a value that is not a text
  std::wstring_view vector_type;  // the line for a vector element of another type
  bool unusable_format_ends;      // an unusable format is the only line told
};
constexpr ValueFormat kBoolFormat = {
    VT_BOOL, L"boolean",
    L"\r\nError!  Application value must be a string to use boolean format at location: ",
    L"Error:  Data type is not string or boolean in vector at read location ", true};
constexpr ValueFormat kDateFormat = {
    VT_DATE, L"date",
    L"\r\nError!  Application value must be a string to use the date format at location: ",
    L"Error:  Data type is not string or date in vector at read location ", false};

// One conversion of a Link's application value.
class Reading {
 public:
  Reading(ReadableLink& link, std::wstring_view app_name, LinkFacts& facts,
          const std::optional<NumberLayout>& layout)
      : link_(link),
        facts_(facts),
        layout_(layout),
        format_(link.ReadFormat()),
        location_(Quoted(link.ReadLocation())) {
    line_.reserve(128);
    line_.assign(app_name).append(L"(Case: ").append(link.CaseResolvedName()).append(L") ");
    head_size_ = line_.size();
  }

  void Run() {
    for (const DescriptiveFormat& descriptive : kDescriptiveFormats) {
      if (format_ == descriptive.format) return ReadDescriptive(descriptive);
    }
    if (link_.Flag(ReadFlag::kValue)) {
      link_.SetError();
      link_.AppendStatus(L"Error!  Application Value already read.  Duplicate location:" +
                         link_.ReadLocation());
    } else if (format_.empty()) {
      ReadPlain();
    } else if (EqualsNoCase(format_, L"/!UnitDefault!/")) {
      ReadUnitDefault();
    } else if (format_.starts_with(L"/!Bool(")) {
      ReadFormatted(kBoolFormat);
    } else if (format_.starts_with(L"/!Date(")) {
      ReadFormatted(kDateFormat);
    } else {
      Fail(L"Error, cannot interpret format " + Quoted(format_) + L"  Location: " + location_);
    }
  }

 private:
  // The status line: the head, then `text`.
  void Status(std::wstring_view text) {
    line_.resize(head_size_);
    link_.AppendStatus(line_.append(text));
  }
  void Fail(std::wstring_view text) {
    link_.SetError();
    Status(text);
  }

  void ReadDescriptive(const DescriptiveFormat& descriptive) {
    const Variant& raw = link_.RawAppValue();
    if (raw.vt() != VT_BSTR && raw.vt() != kVariantArray) {
      return Fail(L"\r\nError!  Application Value is not text, format calls for " +
                  std::wstring(descriptive.singular) + L" from " + location_);
    }
    const bool vector = raw.vt() == kVariantArray;
    link_.SetDescriptive(descriptive.kind, raw);
    link_.SetFlag(descriptive.flag);
    Status((vector ? L"  Vector of " + std::wstring(descriptive.plural)
                   : L"  " + std::wstring(descriptive.singular)) +
           L" read From " + location_);
  }

  // The readers of values append their text to the status line.
  void ReadPlain() {
    line_.resize(head_size_);
    if (Failed(ReadPlainValue())) {
      link_.SetError();
      line_.append(L"Error: ")
          .append(TakeErrorDescription())
          .append(L" occurred during processing read location ");
    }
    link_.AppendStatus(line_.append(location_));
  }

  HRESULT ReadPlainValue() {
    if (!link_.HasAttribute()) {
      if (const HRESULT bound = link_.SetDataModelSvcs(); Failed(bound)) return bound;
    }
    const Variant& raw = link_.RawAppValue();
    if (link_.HasAttribute() && (raw.vt() == VT_BSTR || raw.vt() == kVariantArray)) {
      const std::wstring type = link_.AttributeType();
      if (type == L"Real" || type == L"Integer") {
        const bool integer = type == L"Integer";
        return raw.IsArray() ? ReadNumbers(raw, integer) : ReadNumber(raw, integer);
      }
      if (type == L"Enum") return ReadEnumeration(raw);
    }
    link_.ResetLinkFormatData();
    if (const HRESULT stored = link_.PutAppValue(raw); Failed(stored)) return stored;
    link_.SetFlag(ReadFlag::kValue);
    line_.append(L":  Value Read From ");
    return S_OK;
  }

  HRESULT ReadNumber(const Variant& raw, bool integer) {
    FieldParse parse;
    if (const HRESULT parsed = link_.ParseField(raw.bstr(), integer, &parse); Failed(parsed)) {
      return parsed;
    }
    link_.ResetLinkFormatData();
    if (!parse.substitution.empty()) {
      link_.SetDescriptive(DescriptiveKind::kSubstitution, Variant(parse.substitution));
      link_.SetFlag(ReadFlag::kSubstitution);
      line_.append(L":  Value (substitute) Read From ");
      return S_OK;
    }
    line_.append(L":  ");
    if (!parse.prefix.empty()) {
      link_.SetDescriptive(DescriptiveKind::kPrefix, Variant(parse.prefix));
      link_.SetFlag(ReadFlag::kPrefix);
      line_.append(L"Prefix/");
    }
    if (!parse.postfix.empty()) {
      link_.SetDescriptive(DescriptiveKind::kPostfix, Variant(parse.postfix));
      link_.SetFlag(ReadFlag::kPostfix);
      line_.append(L"Postfix/");
    }
    if (const HRESULT stored = link_.PutAppValue(parse.value); Failed(stored)) return stored;
    link_.SetFlag(ReadFlag::kValue);
    line_.append(L"Value Read From ");
    return S_OK;
  }

  HRESULT ReadNumbers(const Variant& raw, bool integer) {
    const std::span<const Variant> elements = raw.array().data();
    std::vector<Variant> values(elements.size());
    std::array<std::vector<Variant>, 3> descriptive;  // prefixes, postfixes, substitutions
    std::array<bool, 3> found{};
    bool any_value = false;
    for (size_t index = 0; index < elements.size(); ++index) {
      if (elements[index].vt() != VT_BSTR) {
        values[index] = elements[index];
        any_value = true;
        continue;
      }
      FieldParse parse;
      const HRESULT parsed = link_.ParseField(elements[index].bstr(), integer, &parse);
      if (Failed(parsed)) return parsed;
      const bool substituted = !parse.substitution.empty();
      const std::array<std::wstring*, 3> texts = {&parse.prefix, &parse.postfix,
                                                  &parse.substitution};
      for (size_t kind = substituted ? 2 : 0; kind < 3; ++kind) {
        if (texts[kind]->empty()) continue;
        descriptive[kind].resize(elements.size());
        descriptive[kind][index] = Variant(std::move(*texts[kind]));
        found[kind] = true;
      }
      if (!substituted) {
        values[index] = std::move(parse.value);
        any_value = true;
      }
    }
    if (any_value) {
      if (const HRESULT stored = link_.PutAppValue(VectorOf(std::move(values))); Failed(stored)) {
        return stored;
      }
      link_.SetFlag(ReadFlag::kValue);
    }
    link_.ResetLinkFormatData();
    for (size_t kind = 0; kind < 3; ++kind) {
      if (!found[kind]) continue;
      const DescriptiveFormat& named = kDescriptiveFormats[kind];
      link_.SetFlag(named.flag);
      link_.SetDescriptive(named.kind, VectorOf(std::move(descriptive[kind])));
    }
    line_.append(L":  Vector of values Read From ");
    return S_OK;
  }

  HRESULT ReadEnumeration(const Variant& raw) {
    Variant value;
    if (raw.IsArray()) {
      int32_t lower = 0;
      int32_t upper = -1;
      raw.array().LowerBound(1, &lower);
      raw.array().UpperBound(1, &upper);
      const size_t count = upper < lower ? 0 : static_cast<size_t>(int64_t{upper} - lower + 1);
      std::vector<Variant> names(count);
      for (size_t index = 0; index < count; ++index) {
        Variant name;
        VariantChangeType(&name, raw.array().data()[index], 0, VT_BSTR);
        names[index] = Variant(std::wstring(TrimBlanksAndFeeds(TextOf(name))));
      }
      value = VectorOf(std::move(names));
    } else {
      value = Variant(std::wstring(TrimBlanksAndFeeds(raw.bstr())));
    }
    if (const HRESULT stored = link_.PutAppValue(value); Failed(stored)) return stored;
    link_.SetFlag(ReadFlag::kValue);
    link_.ResetLinkFormatData();
    line_.append(L":  Value Read From ");
    return S_OK;
  }

  void ReadUnitDefault() {
    ReadPlain();
    const TemplateExpander expander(L"/!UnitDefault!/", facts_, layout_);
    const Variant prefix = link_.Descriptive(DescriptiveKind::kPrefix);
    const Variant postfix = link_.Descriptive(DescriptiveKind::kPostfix);
    const Variant substitution = link_.Descriptive(DescriptiveKind::kSubstitution);
    Expansion shown = expander.Expand(link_.RawAppValue(),
                                      {TextOf(prefix), TextOf(postfix), TextOf(substitution)});
    if (shown.text.empty()) return;
    Variant text(std::move(shown.text));
    Variant number;
    link_.StoreAppValue(Succeeded(VariantChangeType(&number, text, 0, VT_R8)) ? number : text);
  }

  // Whether the format can interpret texts at all; tells the user when not.
  bool FormatUsable(const ValueFormat& kind) {
    if (kind.vt == VT_BOOL) {
      bool_texts_ = QuotedTexts(format_, L"/!Bool(");
      if (bool_texts_) return true;
      Fail(L"\r\nError interpreting boolean format " + Quoted(format_) + L"  Location: " +
           link_.ReadLocation());
      return false;
    }
    date_order_ = DateFieldOrderOf(format_);
    if (date_order_) return true;
    Fail(L"Error:  date format not valid for input " + Quoted(format_) + L" at read location " +
         location_);
    return false;
  }

  // The value a text stands for under a usable boolean or date format;
  // nullopt when it stands for none.
  std::optional<Variant> Interpret(std::wstring_view text) const {
    if (bool_texts_) {
      if (EqualsNoCase(text, (*bool_texts_)[0])) return Variant(true);
      if (EqualsNoCase(text, (*bool_texts_)[1])) return Variant(false);
      if (EqualsNoCase(text, (*bool_texts_)[2])) return Variant();
      return std::nullopt;
    }
    const std::optional<DATE> date = date_order_ ? ParseDateText(text, *date_order_) : std::nullopt;
    if (!date) return std::nullopt;
    return Variant::Date(*date);
  }

  void ReadFormatted(const ValueFormat& kind) {
    const Variant& raw = link_.RawAppValue();
    if (raw.vt() == kind.vt || raw.IsEmpty()) return ReadPlain();
    if (raw.vt() == VT_BSTR) return ReadFormattedText(kind, raw.bstr());
    if (raw.vt() == kVariantArray) return ReadFormattedVector(kind, raw);
    Fail(std::wstring(kind.other_type) + link_.ReadLocation());
  }

  void ReadFormattedText(const ValueFormat& kind, const std::wstring& text) {
    if (!FormatUsable(kind) && kind.unusable_format_ends) return;
    const std::optional<Variant> value = Interpret(text);
    if (!value) {
      return Fail(L"Unrecognized " + std::wstring(kind.noun) + L" value " + Quoted(text) +
                  L" at read location " + location_);
    }
    if (!StoreValue(*value)) return;
    Status(L":  " + Capitalised(kind.noun) + L" value read from " + location_);
  }

  void ReadFormattedVector(const ValueFormat& kind, const Variant& raw) {
    const bool usable = FormatUsable(kind);
    if (!usable && kind.unusable_format_ends) return;
    const std::span<const Variant> elements = raw.array().data();
    std::vector<Variant> values(elements.size());
    bool failed = !usable;
    for (size_t index = 0; index < elements.size(); ++index) {
      const Variant& element = elements[index];
      if (element.vt() == kind.vt || element.IsEmpty()) {
        values[index] = element;
      } else if (element.vt() != VT_BSTR) {
        failed = true;
        Fail(std::wstring(kind.vector_type) + location_);
      } else if (std::optional<Variant> value = Interpret(element.bstr())) {
        values[index] = std::move(*value);
      } else {
        failed = true;
        Fail(L"Error:  Unrecognized " + std::wstring(kind.noun) + L" value " +
             Quoted(element.bstr()) + L" in vector at read location " + location_);
      }
    }
    if (failed || !StoreValue(VectorOf(std::move(values)))) return;
    Status(L":  Vector of " + std::wstring(kind.noun) + L" values read from " + location_);
  }

  // Sets AppValue and the value flag; a failure is told in the status.
  bool StoreValue(const Variant& value) {
    if (Succeeded(link_.PutAppValue(value))) {
      link_.SetFlag(ReadFlag::kValue);
      return true;
    }
    Fail(L"Error: " + TakeErrorDescription() + L" occurred during processing read location " +
         location_);
    return false;
  }

  static std::wstring Capitalised(std::wstring_view word) {
    std::wstring text(word);
    if (!text.empty()) text[0] = static_cast<wchar_t>(std::towupper(text[0]));
    return text;
  }

  ReadableLink& link_;
  LinkFacts& facts_;
  const std::optional<NumberLayout>& layout_;
  const std::wstring format_;
  const std::wstring location_;  // quoted
  std::wstring line_;            // the status line being built, from its head
  size_t head_size_ = 0;
  std::optional<BoolTexts> bool_texts_;
  std::optional<DateFieldOrder> date_order_;
};

// A text read for a date attribute is taken as a date when it reads as one.
void TakeTextAsDate(ReadableLink& link) {
  if (link.OrvanValueType() != VT_DATE || link.RawAppValue().vt() != VT_BSTR) return;
  Variant date;
  if (Succeeded(VariantChangeType(&date, link.RawAppValue(), 0, VT_DATE))) {
    link.SetRawAppValue(std::move(date));
  }
}

}  // namespace

void ConvertAppValue(ReadableLink& link, std::wstring_view app_name, LinkFacts& facts,
                     const std::optional<NumberLayout>& layout) {
  TakeTextAsDate(link);
  Reading(link, app_name, facts, layout).Run();
}

}  // namespace ovc::links
