#include "office/package/document_kind.h"

#include <strings.h>

#include <algorithm>
#include <iterator>

namespace ovc::office {
namespace {

// The content types of a main part and the extension a package of each
// takes.
struct MainType {
  std::string_view content_type;
  std::string_view extension;
};

constexpr MainType kWorkbookTypes[] = {
    {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml", "xlsx"},
    {"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml", "xltx"},
    {"application/vnd.ms-excel.sheet.macroEnabled.main+xml", "xlsm"},
    {"application/vnd.ms-excel.template.macroEnabled.main+xml", "xltm"},
};
constexpr MainType kWordProcessingTypes[] = {
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml", "docx"},
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml", "dotx"},
    {"application/vnd.ms-word.document.macroEnabled.main+xml", "docm"},
    {"application/vnd.ms-word.template.macroEnabledTemplate.main+xml", "dotm"},
};

// The entry of `types` for `type`; media types compare without regard to
// ASCII case. Null when none.
template <size_t N>
const MainType* Find(std::string_view type, const MainType (&types)[N]) {
  const auto found =
      std::find_if(std::begin(types), std::end(types), [type](const MainType& known) {
        return type.size() == known.content_type.size() &&
               ::strncasecmp(type.data(), known.content_type.data(), type.size()) == 0;
      });
  return found == std::end(types) ? nullptr : found;
}

std::string Noun(DocumentKind kind) {
  return kind == DocumentKind::kWorkbook ? "a workbook" : "a word-processing document";
}

}  // namespace

DocumentKind DocumentKindOf(std::string_view main_content_type) {
  if (Find(main_content_type, kWorkbookTypes)) return DocumentKind::kWorkbook;
  if (Find(main_content_type, kWordProcessingTypes)) return DocumentKind::kWordProcessing;
  return DocumentKind::kOther;
}

std::string_view PackageExtension(std::string_view main_content_type) {
  const MainType* found = Find(main_content_type, kWorkbookTypes);
  if (found == nullptr) found = Find(main_content_type, kWordProcessingTypes);
  return found == nullptr ? std::string_view() : found->extension;
}

std::string KindMismatch(DocumentKind wanted, DocumentKind found) {
  if (found == wanted) return "";
  if (found == DocumentKind::kOther) return "not " + Noun(wanted);
  return Noun(found) + ", not " + Noun(wanted);
}

}  // namespace ovc::office
