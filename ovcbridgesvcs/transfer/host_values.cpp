// The host's values of one attribute, stored into its Link.
#include "ovcbridgesvcs/transfer/host_values.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "automation/safe_array.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "ovcbridgesvcs/xml/xml_helper.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kReadSuccessful = L"Read Successful";

// The text as ASCII, or nothing when it holds any other character.
std::optional<std::string> AsciiOf(std::wstring_view text) {
  std::string ascii;
  for (const wchar_t c : text) {
    if (c < 0 || c > 127) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  return ascii;
}

// The whole text as a decimal number of type Number ("." as decimal point).
template <class Number>
std::optional<Number> NumberOf(std::wstring_view text) {
  const std::optional<std::string> ascii = AsciiOf(text);
  if (!ascii) return std::nullopt;
  Number value{};
  const char* end = ascii->data() + ascii->size();
  const auto [stop, error] = std::from_chars(ascii->data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::optional<double> RealOf(std::wstring_view text) {
  const std::optional<double> value = NumberOf<double>(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::optional<Variant> ParseReal(std::wstring_view text) {
  const std::optional<double> value = RealOf(text);
  if (!value) return std::nullopt;
  return Variant::R8(*value);
}

std::optional<Variant> ParseInteger(std::wstring_view text) {
  const std::optional<int32_t> value = NumberOf<int32_t>(text);
  if (!value) return std::nullopt;
  return Variant::I4(*value);
}

std::optional<Variant> ParseDate(std::wstring_view text) {
  const std::optional<double> serial = RealOf(text);
  if (!serial) return std::nullopt;
  return Variant::Date(*serial);
}

std::optional<Variant> ParseBoolean(std::wstring_view text) { return Variant::Bool(text == L"1"); }

std::optional<Variant> ParseString(std::wstring_view text) {
  return Variant::Str(std::wstring(text));
}

// How the values of one data type are read and reported.
struct HostType {
  std::wstring_view data_type;
  std::wstring_view read;        // appended after the route
  std::wstring_view read_empty;  // appended after the route
  std::wstring_view failed;      // appended after the route
  std::wstring_view kind;        // what a value that does not parse is not
  bool has_affixes;
  std::optional<Variant> (*parse)(std::wstring_view quantity);
};

constexpr std::array kHostTypes = {
    HostType{L"Real", L" of type Real, read from Orvan", L" of type Real, read empty from Orvan",
             L". Failed to read real value from Orvan", L"a number", true, ParseReal},
    HostType{L"Integer", L" of type Integer, read from Orvan",
             L" of type Integer, read empty from Orvan",
             L". Failed to read integer value from Orvan", L"a 32-bit integer", true, ParseInteger},
    HostType{L"Date", L" of type Date, read from Orvan", L" of type Date, read empty from Orvan",
             L". Failed to read Date value from Orvan", L"a date serial number", false, ParseDate},
    HostType{L"Boolean", L" of type Boolean, read from Orvan",
             L" of type Boolean, read empty from Orvan",
             L". Failed to read Boolean value from Orvan", L"a boolean", false, ParseBoolean},
    HostType{L"String", L" of type String, read from Orvan",
             L" of type String, read empty from Orvan", L". Failed to read string value from Orvan",
             L"a text", false, ParseString},
    HostType{L"Enum", L" of type String, read from Orvan",
             L" of type String, read empty from Orvan", L". Failed to read string value from Orvan",
             L"a text", false, ParseString},
};

const HostType* HostTypeNamed(std::wstring_view data_type) {
  for (const HostType& type : kHostTypes) {
    if (type.data_type == data_type) return &type;
  }
  return nullptr;
}

// One value of an answer, with its texts.
struct HostValue {
  Variant value;
  Variant prefix;
  Variant postfix;
  Variant substitution;
};

// Reads the values of an answer into the Link.
class ValueStore {
 public:
  ValueStore(CMethodFrame& frame, ILink* link, const std::wstring& route, const HostType& type)
      : frame_(frame), link_(link), route_(route), type_(type) {}

  void Read(pugi::xml_node answer, bool is_vector) {
    std::vector<pugi::xml_node> elements;
    xml::ForEachElementNamed(answer, "Value",
                             [&](pugi::xml_node element) { elements.push_back(element); });
    std::vector<HostValue> values(elements.size());
    for (size_t k = 0; k < elements.size(); ++k) {
      if (ReadValue(xml::ElementReader(elements[k]), &values[k]) && !is_vector) {
        StoreSingle(values[k]);
      }
    }
    if (is_vector) StoreVector(values);
  }

 private:
  // False when the value failed (the Link then says why).
  bool ReadValue(const xml::ElementReader& element, HostValue* value) {
    const std::wstring error = element.Text("Error");
    const std::wstring quantity = element.Text("Quantity");
    if (error != kReadSuccessful) return Fail(error);
    if (!quantity.empty()) {
      const std::optional<Variant> parsed = type_.parse(quantity);
      if (!parsed) {
        return Fail(L"The value '" + quantity + L"' is not " + std::wstring(type_.kind) + L".");
      }
      value->value = *parsed;
    }
    value->prefix = Variant::Str(element.Text("Prefix"));
    value->postfix = Variant::Str(element.Text("Postfix"));
    value->substitution = Variant::Str(element.Text("Substitution"));
    return true;
  }

  bool Fail(const std::wstring& reason) {
    AppendStatus(frame_, link_, route_ + std::wstring(type_.failed));
    AppendStatus(frame_, link_, reason);
    CheckAndRaise(frame_, link_->put_Error(VARIANT_TRUE));
    return false;
  }

  void StoreSingle(const HostValue& value) {
    Store(value);
    const std::wstring_view status = value.value.IsEmpty() ? type_.read_empty : type_.read;
    AppendStatus(frame_, link_, route_ + std::wstring(status));
  }

  void StoreVector(const std::vector<HostValue>& values) {
    HostValue arrays;
    arrays.value = Column(values, &HostValue::value);
    arrays.prefix = Column(values, &HostValue::prefix);
    arrays.postfix = Column(values, &HostValue::postfix);
    arrays.substitution = Column(values, &HostValue::substitution);
    Store(arrays);
  }

  static Variant Column(const std::vector<HostValue>& values, Variant HostValue::*field) {
    std::vector<Variant> column;
    column.reserve(values.size());
    for (const HostValue& value : values) column.push_back(value.*field);
    return Variant(SafeArray::FromValues(std::move(column)));
  }

  void Store(const HostValue& value) {
    CheckAndRaise(frame_, link_->put_OrvanValue(value.value));
    if (!type_.has_affixes) return;
    CheckAndRaise(frame_, link_->put_Prefix(value.prefix));
    CheckAndRaise(frame_, link_->put_Postfix(value.postfix));
    CheckAndRaise(frame_, link_->put_Substitution(value.substitution));
  }

  CMethodFrame& frame_;
  ILink* link_;
  const std::wstring& route_;
  const HostType& type_;
};

}  // namespace

bool StoreHostValues(CMethodFrame& frame, pugi::xml_node answer, ILink* link,
                     const std::wstring& route, std::wstring_view data_type, bool is_vector) {
  const HostType* type = HostTypeNamed(data_type);
  if (type == nullptr) return false;
  ValueStore(frame, link, route, *type).Read(answer, is_vector);
  return true;
}

}  // namespace ovc::transfer
