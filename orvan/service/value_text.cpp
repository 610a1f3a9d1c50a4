#include "orvan/service/value_text.h"

#include <cmath>
#include <limits>

#include "automation/text.h"
#include "orvan/format/number_text.h"
#include "orvan/units/unit_conversion.h"

namespace ovc::orvan {

namespace {

constexpr int64_t kMinInt32 = std::numeric_limits<int32_t>::min();
constexpr int64_t kMaxInt32 = std::numeric_limits<int32_t>::max();

Status Mismatch(const Route& route) {
  return Status::Invalid("The stored value of '" + route.name + "' is not of type " +
                         std::string(TypeName(route.type)) + ".");
}

Status NotA(const Route& route, std::string_view text, const char* kind) {
  return Status::Invalid("The value '" + std::string(text) + "' sent for '" + route.name +
                         "' is not " + kind + ".");
}

bool StoredNumber(const Scalar& value, double* number) {
  if (const auto* real = std::get_if<double>(&value)) {
    *number = *real;
    return true;
  }
  if (const auto* integer = std::get_if<int64_t>(&value)) {
    *number = static_cast<double>(*integer);
    return true;
  }
  return false;
}

// The number in `unit`: exactly as entered when it was entered in that unit.
double InUnit(const Unit* unit, const Element& element, double base) {
  if (unit == nullptr) return base;
  if (element.entered && element.entered_unit == unit->system_name) return *element.entered;
  return FromBase(*unit, base);
}

Status StoreNumber(const Route& route, const Unit* unit, double number, std::string_view text,
                   Element* element) {
  if (unit == nullptr) {
    element->value = number;
    return Status::Ok();
  }
  double base = ToBase(*unit, number);
  if (!std::isfinite(base)) return NotA(route, text, "within the range of its unit");
  element->value = base;
  element->entered = number;
  element->entered_unit = unit->system_name;
  return Status::Ok();
}

Status ParseInteger32(const Route& route, const Unit* unit, std::string_view text,
                      Element* element) {
  int64_t integer = 0;
  double real = 0;
  if (!ParseInteger(text, kMinInt32, kMaxInt32, &integer)) {
    if (!ParseReal(text, &real) || real != std::trunc(real) || real < kMinInt32 ||
        real > kMaxInt32) {
      return NotA(route, text, "a 32-bit integer");
    }
    integer = static_cast<int64_t>(real);
  }
  if (unit == nullptr) {
    element->value = integer;
    return Status::Ok();
  }
  return StoreNumber(route, unit, static_cast<double>(integer), text, element);
}

Status ParseBoolean(const Route& route, std::string_view text, Element* element) {
  std::wstring lower = ToLower(FromUtf8(text));
  if (lower == L"1" || lower == L"-1" || lower == L"true") {
    element->value = int64_t{1};
  } else if (lower == L"0" || lower == L"false") {
    element->value = int64_t{0};
  } else {
    return NotA(route, text, "a boolean (1 or 0)");
  }
  return Status::Ok();
}

Status ParseEnum(const Route& route, std::string_view text, Element* element) {
  for (const std::string& allowed : route.enum_texts) {
    if (allowed == text) {
      element->value = allowed;
      return Status::Ok();
    }
  }
  std::wstring wide = FromUtf8(text);
  for (const std::string& allowed : route.enum_texts) {
    if (EqualsNoCase(FromUtf8(allowed), wide)) {
      element->value = allowed;
      return Status::Ok();
    }
  }
  return NotA(route, text, "one of its allowed texts");
}

}  // namespace

Status FormatQuantity(const Route& route, const Unit* unit, const Element& element,
                      std::string* text) {
  text->clear();
  if (std::holds_alternative<std::monostate>(element.value)) return Status::Ok();
  double number = 0;
  switch (route.type) {
    case AttributeType::kReal:
    case AttributeType::kDate:
      if (!StoredNumber(element.value, &number)) return Mismatch(route);
      *text =
          FormatReal(route.type == AttributeType::kReal ? InUnit(unit, element, number) : number);
      return Status::Ok();
    case AttributeType::kInteger: {
      if (!StoredNumber(element.value, &number)) return Mismatch(route);
      double rounded = std::round(InUnit(unit, element, number));
      if (!(rounded >= kMinInt32 && rounded <= kMaxInt32)) return Mismatch(route);
      *text = std::to_string(static_cast<int64_t>(rounded));
      return Status::Ok();
    }
    case AttributeType::kBoolean:
      if (!StoredNumber(element.value, &number)) return Mismatch(route);
      *text = number != 0 ? "1" : "0";
      return Status::Ok();
    case AttributeType::kString:
    case AttributeType::kEnum:
      if (const auto* stored = std::get_if<std::string>(&element.value)) {
        *text = *stored;
      } else if (StoredNumber(element.value, &number)) {
        *text = FormatReal(number);
      }
      return Status::Ok();
  }
  return Mismatch(route);
}

Status ParseQuantity(const Route& route, const Unit* unit, std::string_view text,
                     Element* element) {
  element->value = std::monostate();
  element->entered.reset();
  element->entered_unit.clear();
  if (text.empty()) return Status::Ok();
  double number = 0;
  switch (route.type) {
    case AttributeType::kReal:
      if (!ParseReal(text, &number)) return NotA(route, text, "a number");
      return StoreNumber(route, unit, number, text, element);
    case AttributeType::kDate:
      if (!ParseReal(text, &number)) return NotA(route, text, "a date serial number");
      element->value = number;
      return Status::Ok();
    case AttributeType::kInteger:
      return ParseInteger32(route, unit, text, element);
    case AttributeType::kBoolean:
      return ParseBoolean(route, text, element);
    case AttributeType::kString:
      element->value = std::string(text);
      return Status::Ok();
    case AttributeType::kEnum:
      return ParseEnum(route, text, element);
  }
  return NotA(route, text, "a value");
}

}  // namespace ovc::orvan
