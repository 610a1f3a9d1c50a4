#include "office/package/document_kind.h"

#include <strings.h>

#include <algorithm>
#include <iterator>

namespace ovc::office {
namespace {

constexpr std::string_view kWorkbookTypes[] = {
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
    "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml",
    "application/vnd.ms-excel.sheet.macroEnabled.main+xml",
    "application/vnd.ms-excel.template.macroEnabled.main+xml",
};
constexpr std::string_view kWordProcessingTypes[] = {
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
    "application/vnd.ms-word.document.macroEnabled.main+xml",
    "application/vnd.ms-word.template.macroEnabledTemplate.main+xml",
};

// Media types compare without regard to ASCII case.
template <size_t N>
bool IsOneOf(std::string_view type, const std::string_view (&types)[N]) {
  return std::any_of(std::begin(types), std::end(types), [type](std::string_view known) {
    return type.size() == known.size() &&
           ::strncasecmp(type.data(), known.data(), known.size()) == 0;
  });
}

std::string Noun(DocumentKind kind) {
  return kind == DocumentKind::kWorkbook ? "a workbook" : "a word-processing document";
}

}  // namespace

DocumentKind DocumentKindOf(std::string_view main_content_type) {
  if (IsOneOf(main_content_type, kWorkbookTypes)) return DocumentKind::kWorkbook;
  if (IsOneOf(main_content_type, kWordProcessingTypes)) return DocumentKind::kWordProcessing;
  return DocumentKind::kOther;
}

std::string KindMismatch(DocumentKind wanted, DocumentKind found) {
  if (found == wanted) return "";
  if (found == DocumentKind::kOther) return "not " + Noun(wanted);
  return Noun(found) + ", not " + Noun(wanted);
}

}  // namespace ovc::office
