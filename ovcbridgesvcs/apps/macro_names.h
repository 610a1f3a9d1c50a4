#pragma once

#include <string>

#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::apps {

// The macro names an office adapter keeps for the App: the ones run around
// an import and an export and the one run on release. They are plain
// fields: setting one runs nothing, and an empty name means "run nothing".
// Every getter answers E_POINTER for a null `name` and S_OK otherwise; the
// setters always succeed. The adapter deriving from this class runs them.
class MacroNames : public ReentryGuardedDispatch<IExternalApp> {
 public:
  HRESULT get_MacroPreImport(std::wstring* name) override;
  HRESULT put_MacroPreImport(const std::wstring& name) override;
  HRESULT get_MacroPostImport(std::wstring* name) override;
  HRESULT put_MacroPostImport(const std::wstring& name) override;
  HRESULT get_MacroPreExport(std::wstring* name) override;
  HRESULT put_MacroPreExport(const std::wstring& name) override;
  HRESULT get_MacroPostExport(std::wstring* name) override;
  HRESULT put_MacroPostExport(const std::wstring& name) override;
  HRESULT get_MacroRelease(std::wstring* name) override;
  HRESULT put_MacroRelease(const std::wstring& name) override;

 protected:
  ~MacroNames() = default;

  const std::wstring& pre_import_macro() const { return pre_import_; }
  const std::wstring& post_import_macro() const { return post_import_; }
  const std::wstring& pre_export_macro() const { return pre_export_; }
  const std::wstring& post_export_macro() const { return post_export_; }

 private:
  std::wstring pre_import_, post_import_, pre_export_, post_export_, release_;
};

}  // namespace ovc::apps
