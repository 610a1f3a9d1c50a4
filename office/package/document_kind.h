#pragma once

#include <string>
#include <string_view>

namespace ovc::office {

// What a package's main part holds, told by its content type.
enum class DocumentKind {
  kWorkbook,        // .xlsx, .xlsm, .xltx, .xltm
  kWordProcessing,  // .docx, .docm, .dotx, .dotm
  kOther,
};

// The kind of document whose main part has this content type.
DocumentKind DocumentKindOf(std::string_view main_content_type);

// The extension of a package whose main part has this content type
// ("xlsm"); "" for another type.
std::string_view PackageExtension(std::string_view main_content_type);

// Why a document of kind `found` is refused by an opener serving `wanted`
// ("a workbook, not a word-processing document"); "" when it is served.
std::string KindMismatch(DocumentKind wanted, DocumentKind found);

}  // namespace ovc::office
