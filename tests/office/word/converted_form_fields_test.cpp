#include "office/word/converted_form_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "tests/office/common/xml_part.h"

namespace ovc::word {
namespace {

using office::testing::LoadPart;
using office::testing::XmlOf;

// Expands a paragraph's shorthand: [F:name] a form field's begin run, [C]
// its code, [S] and [E] its separate and end marks, [Bi:name] and [/i] the
// start and end of bookmark i, v a result run.
std::string Paragraph(std::string_view shorthand) {
  std::string xml = "<w:p>";
  for (size_t at = 0; at < shorthand.size();) {
    if (shorthand[at] == 'v') {
      xml += "<w:r><w:t>v</w:t></w:r>";
      ++at;
      continue;
    }
    const size_t close = shorthand.find(']', at);
    const std::string_view token = shorthand.substr(at + 1, close - at - 1);
    const std::string name(token.substr(token.find(':') + 1));
    if (token.starts_with("F:")) {
      xml += "<w:r><w:fldChar w:fldCharType='begin'><w:ffData><w:name w:val='" + name +
             "'/></w:ffData></w:fldChar></w:r>";
    } else if (token == "C") {
      xml += "<w:r><w:instrText> FORMTEXT </w:instrText></w:r>";
    } else if (token == "S" || token == "E") {
      xml += std::string("<w:r><w:fldChar w:fldCharType='") + (token == "S" ? "separate" : "end") +
             "'/></w:r>";
    } else if (token.starts_with("B")) {
      xml +=
          "<w:bookmarkStart w:id='" + std::string(token.substr(1, 1)) + "' w:name='" + name + "'/>";
    } else {
      xml += "<w:bookmarkEnd w:id='" + std::string(token.substr(1)) + "'/>";
    }
    at = close + 1;
  }
  return xml + "</w:p>";
}

TEST(ConvertedFormFieldsTest, BookmarksStartingInsideAFieldsCodeAreMovedBeforeIt) {
  const struct {
    const char* what;
    std::string_view before;
    std::string_view after;  // empty: unchanged
  } cases[] = {
      {"field renamed", "[F:Text1_Copy_1][C][B0:Text1][S]v[E][/0]",
       "[B0:Text1][F:Text1][C][S]v[E][/0]"},
      {"bookmark renamed", "[F:PairA][C][B0:PairA_Copy_1][S]v[E][/0]",
       "[B0:PairA][F:PairA][C][S]v[E][/0]"},
      {"both renamed, another bookmark between",
       "[F:Cell1_Copy_1][C][B1:Vector][/1][B0:Cell1_Copy_1_Copy_12][S]v[E][/0]",
       "[B0:Cell1][F:Cell1][C][B1:Vector][/1][S]v[E][/0]"},
      {"copies besides the original",
       "[F:Cell1_Copy_1][C][B0:Cell1][B1:Vector][B2:Cell1_Copy_1_Copy_1][/1][S]v[E][/0][/2]",
       "[B0:Cell1][F:Cell1][C][B1:Vector][/1][S]v[E][/0]"},
      {"without a separate mark", "[F:Check_Copy_1][C][B0:Check][E][/0]",
       "[B0:Check][F:Check][C][E][/0]"},
      {"another name in the code", "[F:A][C][B0:Vector][/0][S]v[E]", ""},
      {"bookmark in the result", "[F:A_Copy_1][C][S][B0:A]v[E][/0]", ""},
      {"first name taken by another bookmark", "[B1:a][/1][F:A_Copy_1][C][B0:A_Copy_2][S]v[E][/0]",
       ""},
      {"no copy number", "[F:A_Copy_x][C][B0:A][S]v[E][/0]", ""},
      {"field without a name", "[F:][C][B0:][E][/0]", ""},
      {"already in place", "[B0:A][F:A][C][S]v[E][/0]", ""},
  };
  for (const auto& c : cases) {
    const std::string body = Paragraph(c.before);
    pugi::xml_document part;
    LoadPart(&part,
             "<w:document xmlns:w='http://schemas.openxmlformats.org/wordprocessingml/2006/main'>"
             "<w:body>" +
                 body + "</w:body></w:document>");
    const bool changed = RepairConvertedFormFields(&part);
    EXPECT_EQ(changed, !c.after.empty()) << c.what;
    EXPECT_EQ(XmlOf(part.document_element().first_child().first_child()),
              c.after.empty() ? body : Paragraph(c.after))
        << c.what;
  }
}

}  // namespace
}  // namespace ovc::word
