#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/hresult.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/locale_service.h"
#include "ovcbridgesvcs/links/value_format.h"

namespace ovc::links {

// The read flags of a Link.
enum class ReadFlag { kValue, kPrefix, kPostfix, kSubstitution };

// What the host field formatter made of a field text.
struct FieldParse {
  Variant value;  // VT_R8 or VT_I4; empty for a blank text or a substitution
  std::wstring prefix;
  std::wstring postfix;
  std::wstring substitution;
};

// The Link fields and operations the reading of application values uses
// (CLink implements it). Members returning HRESULT leave an error object on
// the thread describing a failure, as automation members do; the others
// cannot fail.
class ReadableLink {
 public:
  virtual ~ReadableLink() = default;

  // The text (or value, or array) read from the application.
  virtual const Variant& RawAppValue() = 0;
  virtual void SetRawAppValue(Variant value) = 0;
  // The type of the host value the Link holds.
  virtual VARTYPE OrvanValueType() = 0;
  virtual std::wstring ReadFormat() = 0;
  virtual std::wstring ReadLocation() = 0;
  virtual std::wstring CaseResolvedName() = 0;

  // The AppValue property setter (text becomes a double when the Link has a
  // quantity type).
  virtual HRESULT PutAppValue(const Variant& value) = 0;
  // Stores the value as it is, without the setter's conversion.
  virtual void StoreAppValue(Variant value) = 0;
  // Prefix, Postfix or Substitution, and their setter.
  virtual Variant Descriptive(DescriptiveKind kind) = 0;
  virtual void SetDescriptive(DescriptiveKind kind, Variant text) = 0;
  virtual bool Flag(ReadFlag flag) = 0;
  virtual void SetFlag(ReadFlag flag) = 0;
  virtual void SetError() = 0;
  // Appends `line` and "\r\n" to the Link's status.
  virtual void AppendStatus(std::wstring_view line) = 0;
  // Clears Prefix, Postfix and Substitution to empty texts.
  virtual void ResetLinkFormatData() = 0;

  // Whether the Link is bound to a host attribute.
  virtual bool HasAttribute() = 0;
  // Binds the Link to its host attribute.
  virtual HRESULT SetDataModelSvcs() = 0;
  // The bound attribute's type text ("Real", "Integer", "Enum", ...).
  virtual std::wstring AttributeType() = 0;
  // Parses `text` with the host field formatter (its integer parse when
  // `integer`, its real parse otherwise); E_POINTER without a formatter.
  virtual HRESULT ParseField(std::wstring_view text, bool integer, FieldParse* parse) = 0;
};

// Converts the Link's RawAppValue as its ReadFormat says into AppValue or its
// descriptive texts, sets the read flags and appends one status line naming
// `app_name`. Problems set the Link's Error flag and are told in the status;
// nothing is returned. `facts` and `layout` serve the unit-default reading,
// which formats the value as Publishing would.
void ConvertAppValue(ReadableLink& link, std::wstring_view app_name, LinkFacts& facts,
                     const std::optional<NumberLayout>& layout);

}  // namespace ovc::links
