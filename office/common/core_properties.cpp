#include "office/common/core_properties.h"

#include <array>
#include <charconv>
#include <cmath>
#include <ctime>
#include <vector>

#include "automation/conversion.h"
#include "automation/date.h"
#include "automation/text.h"
#include "office/common/xml_text.h"
#include "office/package/xml_names.h"

namespace ovc::office {

namespace {

constexpr std::string_view kCoreNamespace =
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
constexpr std::string_view kElementsNamespace = "http://purl.org/dc/elements/1.1/";
constexpr std::string_view kTermsNamespace = "http://purl.org/dc/terms/";
constexpr std::string_view kInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kContentType =
    "application/vnd.openxmlformats-package.core-properties+xml";
constexpr std::string_view kPartName = "/docProps/core.xml";
// The standard relationship type, then the one some writers give instead.
constexpr std::array<std::string_view, 2> kRelationshipTypes = {
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties",
    "http://schemas.openxmlformats.org/officedocument/2006/relationships/metadata/"
    "core-properties"};

// Day 0 of automation dates counted from 1970-01-01, and a day's seconds.
constexpr double kUnixEpochDate = 25569;
constexpr double kSecondsPerDay = 86400;

}  // namespace

// One property: its name, the element holding it and how it is kept.
struct CoreProperty {
  std::wstring_view name;
  std::string_view uri;
  std::string_view prefix;  // the one a new namespace declaration takes
  std::string_view element;
  bool is_date;
  bool read_only;
};

namespace {

constexpr std::array<CoreProperty, 9> kProperties = {{
    {L"Title", kElementsNamespace, "dc", "title", false, false},
    {L"Subject", kElementsNamespace, "dc", "subject", false, false},
    {L"Author", kElementsNamespace, "dc", "creator", false, false},
    {L"Keywords", kCoreNamespace, "cp", "keywords", false, false},
    {L"Comments", kElementsNamespace, "dc", "description", false, false},
    {L"Category", kCoreNamespace, "cp", "category", false, false},
    {L"Last Author", kCoreNamespace, "cp", "lastModifiedBy", false, true},
    {L"Last Save Time", kTermsNamespace, "dcterms", "modified", true, true},
    {L"Creation Date", kTermsNamespace, "dcterms", "created", true, true},
}};

const CoreProperty* Find(std::wstring_view name) {
  for (const CoreProperty& property : kProperties) {
    if (EqualsNoCase(property.name, name)) return &property;
  }
  return nullptr;
}

bool ReadWholeNumber(std::string_view digits, int* value) {
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
  return error == std::errc() && end == digits.data() + digits.size();
}

// Reads the W3C profile of ISO 8601 the part uses ("2024-05-01T10:20:30Z",
// "2024-05-01T12:20:30.5+02:00", "2024-05-01", "2024") as UTC seconds.
bool ParseW3cTime(const char* text, double* utc_seconds) {
  DateFields fields;
  fields.month = fields.day = 1;
  size_t time_end = 0;
  const int read = ReadIsoDateTimeFields(text, 5, &fields, &time_end);
  if (read < 1 || read == 4) return false;
  double seconds = 0;
  std::string_view zone;
  if (read == 5) {
    zone = std::string_view(text + time_end);
    if (zone.starts_with(':')) {
      const auto [end, error] = std::from_chars(zone.data() + 1, zone.data() + zone.size(), seconds,
                                                std::chars_format::fixed);
      if (error != std::errc()) return false;
      zone.remove_prefix(static_cast<size_t>(end - zone.data()));
    }
  }
  DATE date = 0;
  if (!DateFromFields(fields, &date)) return false;
  int64_t zone_seconds = 0;
  if (zone.size() == 6 && (zone[0] == '+' || zone[0] == '-')) {
    int hours = 0;
    int minutes = 0;
    if (!ReadWholeNumber(zone.substr(1, 2), &hours) || zone[3] != ':' ||
        !ReadWholeNumber(zone.substr(4, 2), &minutes))
      return false;
    zone_seconds = (zone[0] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
  } else if (read == 5 && zone != "Z") {
    return false;
  }
  *utc_seconds = std::round((date - kUnixEpochDate) * kSecondsPerDay) + seconds -
                 static_cast<double>(zone_seconds);
  return true;
}

std::string FormatW3cTime(int64_t utc_seconds) {
  const std::time_t time = static_cast<std::time_t>(utc_seconds);
  std::tm fields{};
  gmtime_r(&time, &fields);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &fields);
  return text;
}

// The qualified name of element or attribute `local` of namespace `uri` at
// `root`, declaring the namespace there with `prefix` when it is not in
// scope.
std::string DeclaredName(pugi::xml_node root, std::string_view uri, std::string_view prefix,
                         std::string_view local) {
  std::string name;
  if (QualifiedName(root, uri, local, &name)) return name;
  root.append_attribute(("xmlns:" + std::string(prefix)).c_str()) = std::string(uri).c_str();
  return std::string(prefix) + ":" + std::string(local);
}

}  // namespace

int64_t SystemUtcOffset(int64_t utc_seconds) {
  const std::time_t time = static_cast<std::time_t>(utc_seconds);
  std::tm local{};
  localtime_r(&time, &local);
  return local.tm_gmtoff;
}

std::unique_ptr<CoreProperties> CoreProperties::OfPackage(Package* package,
                                                          std::string* part_name) {
  const std::string root(kPackageRoot);
  pugi::xml_document* part = nullptr;
  for (std::string_view type : kRelationshipTypes) {
    std::vector<std::string> parts;
    std::string ignored;
    if (package->RelatedParts(root, type, &parts, &ignored) && !parts.empty()) {
      *part_name = parts.front();
      part = package->XmlPart(*part_name, &ignored);
      break;
    }
  }
  const auto create_part = [package, part_name, root]() -> pugi::xml_document* {
    std::string ignored;
    pugi::xml_document* made = package->AddXmlPart(std::string(kPartName), kContentType, root,
                                                   kRelationshipTypes.front(), nullptr, &ignored);
    if (made != nullptr) *part_name = kPartName;
    return made;
  };
  return std::make_unique<CoreProperties>(part, create_part);
}

CoreProperties::CoreProperties(pugi::xml_document* part,
                               std::function<pugi::xml_document*()> create_part, UtcOffset offset)
    : part_(part), create_part_(std::move(create_part)), offset_(std::move(offset)) {}

size_t CoreProperties::Count() { return kProperties.size(); }

std::wstring_view CoreProperties::NameAt(size_t index) { return kProperties[index].name; }

bool CoreProperties::IsProperty(std::wstring_view name) { return Find(name) != nullptr; }

pugi::xml_node CoreProperties::Element(const CoreProperty& property) const {
  return ChildElement(DocumentRoot(part_), property.uri, property.element);
}

HRESULT CoreProperties::Get(std::wstring_view name, Variant* value, std::string* reason) const {
  const CoreProperty* property = Find(name);
  if (property == nullptr) {
    *reason = "no document property '" + ToUtf8(name) + "'";
    return DISP_E_BADINDEX;
  }
  const pugi::xml_node element = Element(*property);
  *value = Variant();
  if (!element) return S_OK;
  if (!property->is_date) {
    *value = Variant(FromUtf8(element.child_value()));
    return S_OK;
  }
  double utc = 0;
  if (!ParseW3cTime(element.child_value(), &utc)) {
    *reason = "document property '" + ToUtf8(property->name) + "' holds an unreadable time '" +
              element.child_value() + "'";
    return E_FAIL;
  }
  const double local = utc + static_cast<double>(offset_(std::llround(utc)));
  *value = Variant::Date(local / kSecondsPerDay + kUnixEpochDate);
  return S_OK;
}

bool CoreProperties::EnsurePart() {
  if (part_ == nullptr && create_part_) {
    part_ = create_part_();
    if (part_ != nullptr && !part_->document_element()) {
      pugi::xml_node root = part_->append_child("cp:coreProperties");
      root.append_attribute("xmlns:cp") = std::string(kCoreNamespace).c_str();
      changed_ = true;
    }
  }
  return part_ != nullptr;
}

pugi::xml_node CoreProperties::AddElement(const CoreProperty& property) {
  pugi::xml_node root = part_->document_element();
  const std::string name = DeclaredName(root, property.uri, property.prefix, property.element);
  return root.append_child(name.c_str());
}

void CoreProperties::SetText(const CoreProperty& property, std::string_view text) {
  pugi::xml_node element = Element(property);
  if (!element) element = AddElement(property);
  element.text().set(std::string(text).c_str());
  changed_ = true;
}

HRESULT CoreProperties::Put(std::wstring_view name, const Variant& value, std::string* reason) {
  const CoreProperty* property = Find(name);
  if (property == nullptr) {
    *reason = "no document property '" + ToUtf8(name) + "'";
    return DISP_E_BADINDEX;
  }
  if (property->read_only) {
    *reason = "document property '" + ToUtf8(property->name) + "' is read-only";
    return E_ACCESSDENIED;
  }
  Variant text;
  HRESULT hr = VariantChangeType(&text, value, 0, VT_BSTR);
  if (Failed(hr)) {
    *reason = "document property '" + ToUtf8(property->name) + "' takes text";
    return hr;
  }
  if (!IsXmlText(text.bstr())) {
    *reason = "document property text holds characters a part cannot carry";
    return E_INVALIDARG;
  }
  if (!EnsurePart()) {
    *reason = "the core properties part could not be made";
    return E_FAIL;
  }
  SetText(*property, ToUtf8(text.bstr()));
  return S_OK;
}

bool CoreProperties::NoteSave(std::string_view user, int64_t now_utc_seconds) {
  if (!EnsurePart()) return false;
  SetText(*Find(L"Last Author"), user);
  const CoreProperty& modified = *Find(L"Last Save Time");
  SetText(modified, FormatW3cTime(now_utc_seconds));
  pugi::xml_node root = part_->document_element();
  const std::string type = DeclaredName(root, kInstanceNamespace, "xsi", "type");
  const std::string terms = DeclaredName(root, kTermsNamespace, "dcterms", "W3CDTF");
  pugi::xml_node element = Element(modified);
  pugi::xml_attribute attribute = element.attribute(type.c_str());
  (attribute ? attribute : element.append_attribute(type.c_str())).set_value(terms.c_str());
  return true;
}

}  // namespace ovc::office
