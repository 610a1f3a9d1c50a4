#include "office/common/open_files.h"

#include <filesystem>

#include "automation/conversion.h"
#include "automation/text.h"

namespace ovc::office {
namespace {

LookupError Error(HRESULT code, std::string_view collection, std::string_view reason) {
  return {code, std::string(collection) + ": " + std::string(reason)};
}

LookupError FindByName(const std::vector<std::string>& names, std::wstring_view name,
                       std::string_view collection, std::string_view item, size_t* position) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualsNoCase(FromUtf8(names[i]), name)) {
      *position = i;
      return {};
    }
  }
  return Error(DISP_E_BADINDEX, collection,
               "no open " + std::string(item) + " is named '" + ToUtf8(name) + "'");
}

}  // namespace

LookupError FindOpenFile(const std::vector<std::string>& names, const Variant& index,
                         std::string_view collection, std::string_view item, size_t* position) {
  const Variant value = index.Dereferenced();
  if (value.vt() == VT_BSTR) return FindByName(names, value.bstr(), collection, item, position);
  Variant number;
  if (Failed(VariantChangeType(&number, value, 0, VT_I4))) {
    return Error(DISP_E_TYPEMISMATCH, collection, "the index is neither a position nor a name");
  }
  if (number.i4() < 1 || static_cast<size_t>(number.i4()) > names.size()) {
    return Error(DISP_E_BADINDEX, collection,
                 "no open " + std::string(item) + " at position " + std::to_string(number.i4()));
  }
  *position = static_cast<size_t>(number.i4() - 1);
  return {};
}

std::string FullPathOf(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::absolute(path, ignored).lexically_normal().string();
}

}  // namespace ovc::office
