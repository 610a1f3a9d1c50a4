#include "office/word/form_field_data.h"

#include <gtest/gtest.h>

#include "tests/office/word/word_snippet.h"

namespace ovc::word {
namespace {

using testing::Snippet;
using testing::XmlOf;

TEST(FormFieldDataTest, KindComesFromTheCodesFirstWord) {
  const struct {
    std::wstring_view code;
    FormFieldKind kind;
  } cases[] = {
      {L" FORMTEXT ", FormFieldKind::kText},
      {L"formcheckbox", FormFieldKind::kCheckBox},
      {L"  FORMDROPDOWN \\* MERGEFORMAT", FormFieldKind::kDropDown},
      {L" FORMTEXTX ", FormFieldKind::kNone},
      {L" REF FORMTEXT ", FormFieldKind::kNone},
      {L"   ", FormFieldKind::kNone},
  };
  for (const auto& c : cases) EXPECT_EQ(FormFieldKindOf(c.code), c.kind) << c.code.data();
}

TEST(FormFieldDataTest, ReadsWhatTheElementHolds) {
  const struct {
    const char* xml;
    std::optional<bool> enabled;
    int32_t max_length;
    std::wstring default_text;
    bool checked;
    int32_t selected;
  } cases[] = {
      {"<w:ffData><w:name w:val='T'/><w:enabled/><w:textInput><w:default w:val='d e'/>"
       "<w:maxLength w:val='5'/></w:textInput></w:ffData>",
       true, 5, L"d e", false, 0},
      {"<w:ffData><w:enabled w:val='0'/><w:textInput><w:maxLength w:val='-3'/></w:textInput>"
       "</w:ffData>",
       false, 0, L"", false, 0},
      {"<w:ffData><w:enabled w:val='off'/><w:checkBox><w:default w:val='1'/></w:checkBox>"
       "</w:ffData>",
       false, 0, L"", true, 0},
      {"<w:ffData><w:checkBox><w:default/><w:checked w:val='false'/></w:checkBox></w:ffData>",
       std::nullopt, 0, L"", false, 0},
      {"<w:ffData><w:ddList><w:result w:val='2'/><w:default w:val='1'/></w:ddList></w:ffData>",
       std::nullopt, 0, L"", false, 2},
      {"<w:ffData><w:ddList><w:default w:val='1'/></w:ddList></w:ffData>", std::nullopt, 0, L"",
       false, 1},
      {"<w:ffData><w:ddList><w:result w:val='x'/></w:ddList></w:ffData>", std::nullopt, 0, L"",
       false, 0},
  };
  for (const auto& c : cases) {
    const FormFieldData data = ReadFormFieldData(Snippet(c.xml).root());
    EXPECT_EQ(data.enabled, c.enabled) << c.xml;
    EXPECT_EQ(data.max_length, c.max_length) << c.xml;
    EXPECT_EQ(data.default_text, c.default_text) << c.xml;
    EXPECT_EQ(data.checked, c.checked) << c.xml;
    EXPECT_EQ(data.selected, c.selected) << c.xml;
  }
}

TEST(FormFieldDataTest, MatchesElementsByNamespaceNotPrefix) {
  const Snippet snippet(
      "<ns0:ffData><ns0:name ns0:val='Drop'/><ns0:ddList><ns0:listEntry ns0:val='Red'/>"
      "<ns0:listEntry ns0:val='Grün'/><x:listEntry xmlns:x='urn:other' x:val='no'/></ns0:ddList>"
      "</ns0:ffData>",
      "ns0");
  const FormFieldData data = ReadFormFieldData(snippet.root());
  EXPECT_EQ(data.name, L"Drop");
  EXPECT_EQ(data.entries, (std::vector<std::wstring>{L"Red", L"Grün"}));
}

TEST(FormFieldDataTest, WritesStateWhereTheSchemaPutsIt) {
  const struct {
    const char* before;
    void (*write)(pugi::xml_node);
    const char* after;
  } cases[] = {
      {"<w:ffData><w:name w:val='C'/><w:checkBox><w:sizeAuto/><w:default w:val='0'/>"
       "</w:checkBox></w:ffData>",
       [](pugi::xml_node ff) { SetChecked(ff, true); },
       "<w:ffData><w:name w:val='C'/><w:checkBox><w:sizeAuto/><w:default w:val='0'/>"
       "<w:checked w:val='1'/></w:checkBox></w:ffData>"},
      {"<w:ffData><w:checkBox><w:checked/></w:checkBox></w:ffData>",
       [](pugi::xml_node ff) { SetChecked(ff, false); },
       "<w:ffData><w:checkBox><w:checked w:val='0'/></w:checkBox></w:ffData>"},
      {"<w:ffData><w:name w:val='D'/><w:ddList><w:default w:val='1'/><w:listEntry w:val='a'/>"
       "</w:ddList></w:ffData>",
       [](pugi::xml_node ff) { SetSelectedEntry(ff, 0); },
       "<w:ffData><w:name w:val='D'/><w:ddList><w:result w:val='0'/><w:default w:val='1'/>"
       "<w:listEntry w:val='a'/></w:ddList></w:ffData>"},
      {"<w:ffData><w:ddList><w:result w:val='3'/></w:ddList></w:ffData>",
       [](pugi::xml_node ff) { SetSelectedEntry(ff, 1); },
       "<w:ffData><w:ddList><w:result w:val='1'/></w:ddList></w:ffData>"},
  };
  for (const auto& c : cases) {
    const Snippet snippet(c.before);
    c.write(snippet.root());
    EXPECT_EQ(XmlOf(snippet.root()), c.after);
  }
}

}  // namespace
}  // namespace ovc::word
