#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "automation/variant.h"
#include "office/package/package.h"

namespace ovc::office {

// Seconds east of UTC of the local time at a UTC instant (seconds since
// 1970-01-01 UTC).
using UtcOffset = std::function<int64_t(int64_t utc_seconds)>;
// The offset of the process's time zone.
int64_t SystemUtcOffset(int64_t utc_seconds);

struct CoreProperty;

// The built-in document properties of a package, kept in its core
// properties part: Title, Subject, Author, Keywords, Comments and Category
// as text; Last Author, Last Save Time and Creation Date read only, the
// times as local automation dates (UTC in the part). Names are matched
// without regard to case.
class CoreProperties {
 public:
  // The properties of `package`, kept in the part its root relates to by a
  // core properties relationship (of either spelling writers use), whose
  // name goes to *part_name. Without one, the first change adds
  // /docProps/core.xml and names it in *part_name, which must outlive the
  // result.
  static std::unique_ptr<CoreProperties> OfPackage(Package* package, std::string* part_name);

  // `part` is the parsed core properties part (borrowed; null when the
  // package has none). `create_part` adds an empty part to the package and
  // returns it (null on failure); it is called by the first change when
  // there is no part. `offset` gives the local time zone.
  CoreProperties(pugi::xml_document* part, std::function<pugi::xml_document*()> create_part,
                 UtcOffset offset = SystemUtcOffset);

  // The properties in a fixed order, for access by position.
  static size_t Count();
  static std::wstring_view NameAt(size_t index);
  static bool IsProperty(std::wstring_view name);

  // The value: VT_BSTR or VT_DATE; VT_EMPTY when the part does not hold it.
  // DISP_E_BADINDEX for an unknown name; E_FAIL for a time the part holds in
  // a form that cannot be read.
  HRESULT Get(std::wstring_view name, Variant* value, std::string* reason) const;
  // Sets a text property (other values are converted to text).
  // DISP_E_BADINDEX for an unknown name, E_ACCESSDENIED for a read-only one,
  // E_INVALIDARG for text a part cannot carry, E_FAIL when no part could be
  // made; the conversion's failure for values that are no text.
  HRESULT Put(std::wstring_view name, const Variant& value, std::string* reason);
  // What a save records: who saved and when (UTC seconds). False when no
  // part could be made.
  bool NoteSave(std::string_view user, int64_t now_utc_seconds);

  // True once the part was changed (or made).
  bool changed() const { return changed_; }

 private:
  pugi::xml_node Element(const CoreProperty& property) const;
  pugi::xml_node AddElement(const CoreProperty& property);
  bool EnsurePart();
  void SetText(const CoreProperty& property, std::string_view text);

  pugi::xml_document* part_;
  std::function<pugi::xml_document*()> create_part_;
  UtcOffset offset_;
  bool changed_ = false;
};

}  // namespace ovc::office
