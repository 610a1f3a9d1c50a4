#include "ovcbridgesvcs/apps/macro_names.h"

#include "ovcbridgesvcs/frame/member_values.h"

namespace ovc::apps {

HRESULT MacroNames::get_MacroPreImport(std::wstring* name) { return Give(name, pre_import_); }
HRESULT MacroNames::put_MacroPreImport(const std::wstring& name) {
  return Give(&pre_import_, name);
}
HRESULT MacroNames::get_MacroPostImport(std::wstring* name) { return Give(name, post_import_); }
HRESULT MacroNames::put_MacroPostImport(const std::wstring& name) {
  return Give(&post_import_, name);
}
HRESULT MacroNames::get_MacroPreExport(std::wstring* name) { return Give(name, pre_export_); }
HRESULT MacroNames::put_MacroPreExport(const std::wstring& name) {
  return Give(&pre_export_, name);
}
HRESULT MacroNames::get_MacroPostExport(std::wstring* name) { return Give(name, post_export_); }
HRESULT MacroNames::put_MacroPostExport(const std::wstring& name) {
  return Give(&post_export_, name);
}
HRESULT MacroNames::get_MacroRelease(std::wstring* name) { return Give(name, release_); }
HRESULT MacroNames::put_MacroRelease(const std::wstring& name) { return Give(&release_, name); }

}  // namespace ovc::apps
