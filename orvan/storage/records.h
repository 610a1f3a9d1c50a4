#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

// The records a workspace is made of. All text is UTF-8. Reals are IEEE
// doubles and are kept bit for bit.
namespace ovc::orvan {

enum class AttributeType { kReal, kInteger, kString, kEnum, kDate, kBoolean };

// "Real", "Integer", "String", "Enum", "Date" or "Boolean".
std::string_view TypeName(AttributeType type);
// False, leaving *type unchanged, for any other text (compared exactly).
bool ParseTypeName(std::string_view text, AttributeType* type);

// A unit of a quantity type: value_in_base = value * factor + offset.
struct Unit {
  std::string system_name;  // identifier-like name, e.g. "degC"
  std::string text;         // display text, e.g. "°C"
  double factor = 1.0;
  double offset = 0.0;
};

struct QuantityType {
  std::string name;
  std::vector<Unit> units;  // position 1 is units[0]
  // (unit standard name, unit system name): the unit each standard uses.
  std::vector<std::pair<std::string, std::string>> standard_units;

  // The unit whose system name equals `name` exactly, else the one whose text
  // does; null when neither.
  const Unit* FindUnit(std::string_view name) const;
  // The unit the standard uses (standard matched ignoring ASCII case), or null.
  const Unit* UnitOfStandard(std::string_view standard) const;
};

struct Route {
  std::string name;
  AttributeType type = AttributeType::kReal;
  std::string quantity_type;  // empty: a plain number or text
  bool vector = false;
  bool read_only = false;
  std::vector<std::string> enum_texts;  // the allowed texts of an Enum
};

struct ClassView {
  std::string name;
  std::vector<Route> routes;

  const Route* FindRoute(std::string_view route) const;  // exact name; null when absent
};

struct Case {
  int32_t oid = 0;
  std::string name;
};

struct UnitFormat {
  std::string unit;
  std::string format;
};

// The valid descriptive texts that may stand around or instead of a number.
struct DescriptiveTexts {
  std::vector<std::string> prefixes;
  std::vector<std::string> postfixes;
  std::vector<std::string> substitutions;
};

// Every definition of a workspace, small enough to hold in memory.
struct Catalog {
  std::vector<std::string> unit_standards;  // the first is the workspace default
  std::vector<QuantityType> quantity_types;
  std::vector<UnitFormat> unit_formats;
  DescriptiveTexts texts;
  std::vector<ClassView> class_views;
  std::vector<Case> cases;
  int32_t default_case = 0;    // 0: none
  int32_t governing_case = 0;  // 0: none

  const ClassView* FindClassView(std::string_view name) const;        // exact; null when absent
  const QuantityType* FindQuantityType(std::string_view name) const;  // exact; null when absent
  const Case* FindCase(int32_t oid) const;                            // null when absent
};

struct ObjectRecord {
  int32_t oid = 0;
  std::string name;
  std::string class_view;
  std::vector<int32_t> cases;  // the cases that apply; empty: all of them
};

// A stored scalar: nothing, a real (Real, Date), an integer (Integer,
// Boolean) or a text (String, Enum).
using Scalar = std::variant<std::monostate, double, int64_t, std::string>;

// One value, or one element of a vector, with its descriptive texts. `value`
// is in the quantity type's base unit; `entered` keeps the number exactly as
// it was written, in `entered_unit`, so that it reads back unchanged.
struct Element {
  Scalar value;
  std::optional<double> entered;
  std::string entered_unit;  // a unit system name; empty with no entered value
  std::string prefix;
  std::string postfix;
  std::string substitution;

  friend bool operator==(const Element&, const Element&) = default;
};

struct ValueKey {
  int32_t object = 0;
  std::string route;
  int32_t case_oid = 0;
};

struct StoredValue {
  ValueKey key;
  std::vector<Element> elements;
};

struct BridgeRecord {
  int32_t oid = 0;
  std::string name;
  std::string created_by;
  std::string date_created;  // automation date serial as text
  std::string modified_by;
  std::string date_modified;
  std::string lock_holder;  // empty: not locked
  std::string document;     // the Bridge XML document; empty until saved
  int64_t version = 0;      // raised by every save, so that a stale copy is seen
};

struct FileRecord {
  int32_t oid = 0;
  std::string file_name;    // name and type, no directories
  bool linked = false;      // true: the content lives at linked_path
  std::string linked_path;  // absolute path of a linked file
  std::string holder;       // user holding the check-out; empty: free
  std::string content;      // bytes of an embedded file
};

// A named counter of NextNumber and the last number it gave.
struct Counter {
  std::string name;
  int32_t value = 0;

  friend bool operator==(const Counter&, const Counter&) = default;
};

struct Privilege {
  std::string user;
  std::string name;  // "ModifyBridge" or "RunBridge"
  bool allowed = true;
};

}  // namespace ovc::orvan
