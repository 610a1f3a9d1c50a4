#pragma once

#include <memory>
#include <string>

#include "orvan/components/component.h"
#include "orvan/components/session.h"
#include "orvan/format/field_formatter.h"

namespace ovc::orvan::components {

// "Orvan.FieldFormatter": the valid descriptive texts of the workspace given
// to its Workspace property, and the parse of field texts that use them.
// Every member but Workspace fails until a workspace is given.
class FieldFormatter final : public Component<IOVFieldFormatter> {
 public:
  HRESULT put_Workspace(IDispatch* workspace) override;
  // Arrays of VARIANT texts, in the workspace's order.
  HRESULT get_Prefixes(Variant* texts) override;
  HRESULT get_Postfixes(Variant* texts) override;
  HRESULT get_Substitutions(Variant* texts) override;
  // A field text taken apart into its number (VT_R8, or VT_I4 for an
  // integer) and descriptive texts; a substitution or a blank text has no
  // number and gives an empty value. Text that cannot be read fails with
  // E_INVALIDARG and a description that quotes it.
  HRESULT ParseReal(const std::wstring& text, Variant* value, std::wstring* prefix,
                    std::wstring* postfix, std::wstring* substitution) override;
  HRESULT ParseInteger(const std::wstring& text, Variant* value, std::wstring* prefix,
                       std::wstring* postfix, std::wstring* substitution) override;

 private:
  // The workspace's formatter, or the failure to report.
  HRESULT Formatter(std::unique_ptr<orvan::FieldFormatter>* formatter) const;
  // Parses `text` and hands out its number and descriptive texts.
  HRESULT Parse(const std::wstring& text, bool integer, Variant* value, std::wstring* prefix,
                std::wstring* postfix, std::wstring* substitution) const;

  std::shared_ptr<Session> session_;
};

}  // namespace ovc::orvan::components
