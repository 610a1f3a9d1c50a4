#include "office/word/table_edit.h"

#include <gtest/gtest.h>

#include "tests/office/word/word_snippet.h"

namespace ovc::word {
namespace {

using testing::Snippet;
using testing::XmlOf;

// The last row: row properties, a first cell starting a vertical merge with
// a centred paragraph of two runs, a bookmark and a field, and a second
// cell whose paragraph mark has its own formatting and which holds a nested
// table.
const char kTable[] =
    "<w:tbl><w:tblGrid><w:gridCol w:w='100'/><w:gridCol w:w='200'/></w:tblGrid>"
    "<w:tr><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc></w:tr>"
    "<w:tr><w:tblPrEx><w:jc w:val='left'/></w:tblPrEx><w:trPr><w:trHeight w:val='400'/></w:trPr>"
    "<w:bookmarkStart w:id='1' w:name='Row' w:colFirst='0' w:colLast='1'/>"
    "<w:tc><w:tcPr><w:tcW w:w='100'/><w:vMerge w:val='restart'/><w:shd w:fill='EEEEEE'/></w:tcPr>"
    "<w:p><w:pPr><w:jc w:val='center'/><w:sectPr/></w:pPr><w:bookmarkStart w:id='2' w:name='B'/>"
    "<w:r><w:rPr><w:b/></w:rPr><w:t>z1</w:t></w:r><w:r><w:fldChar w:fldCharType='begin'/></w:r>"
    "<w:bookmarkEnd w:id='2'/></w:p><w:p><w:r><w:t>more</w:t></w:r></w:p></w:tc>"
    "<w:tc><w:tcPr><w:tcW w:w='200'/></w:tcPr><w:p><w:pPr><w:rPr><w:i/></w:rPr></w:pPr>"
    "<w:r><w:rPr><w:b/></w:rPr><w:t>z2</w:t></w:r></w:p><w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr>"
    "</w:tbl><w:p/></w:tc><w:bookmarkEnd w:id='1'/></w:tr></w:tbl>";

const char kFirstClone[] =
    "<w:tc><w:tcPr><w:tcW w:w='100'/><w:shd w:fill='EEEEEE'/></w:tcPr><w:p><w:pPr>"
    "<w:jc w:val='center'/><w:rPr><w:b/></w:rPr><w:sectPr/></w:pPr></w:p></w:tc>";
const char kSecondClone[] =
    "<w:tc><w:tcPr><w:tcW w:w='200'/></w:tcPr><w:p><w:pPr><w:rPr><w:i/></w:rPr></w:pPr></w:p>"
    "</w:tc>";

TEST(TableEditTest, AppendedRowClonesTheLastRowsFormattingEmpty) {
  const Snippet snippet(kTable);
  std::string reason;
  const pugi::xml_node row = AppendRow(snippet.root(), &reason);
  ASSERT_TRUE(row) << reason;
  EXPECT_EQ(row.previous_sibling(), snippet.root().last_child().previous_sibling());
  EXPECT_EQ(XmlOf(row), std::string("<w:tr><w:tblPrEx><w:jc w:val='left'/></w:tblPrEx><w:trPr>"
                                    "<w:trHeight w:val='400'/></w:trPr>") +
                            kFirstClone + kSecondClone + "</w:tr>");
}

TEST(TableEditTest, AppendedColumnClonesEachRowsLastCell) {
  const Snippet snippet(kTable);
  std::vector<pugi::xml_node> added;
  std::string reason;
  ASSERT_TRUE(AppendColumn(snippet.root(), &added, &reason)) << reason;
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(XmlOf(added[0]), "<w:tc><w:p/></w:tc>");
  EXPECT_EQ(XmlOf(added[1]), kSecondClone);
  EXPECT_EQ(XmlOf(added[1].next_sibling()), "<w:bookmarkEnd w:id='1'/>");
  EXPECT_EQ(XmlOf(snippet.root().first_child()),
            "<w:tblGrid><w:gridCol w:w='100'/><w:gridCol w:w='200'/><w:gridCol w:w='200'/>"
            "</w:tblGrid>");
}

TEST(TableEditTest, RefusedColumnsChangeNothing) {
  const std::string cases[] = {
      "<w:tbl><w:tr><w:tc><w:tcPr><w:gridSpan w:val='2'/></w:tcPr><w:p/></w:tc></w:tr></w:tbl>",
      "<w:tbl><w:tblGrid><w:gridCol/></w:tblGrid></w:tbl>",
  };
  for (const std::string& xml : cases) {
    const Snippet snippet(xml);
    const std::string before = XmlOf(snippet.root());
    std::vector<pugi::xml_node> added;
    std::string reason;
    EXPECT_FALSE(AppendColumn(snippet.root(), &added, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(added.empty());
    EXPECT_EQ(XmlOf(snippet.root()), before);
  }
  const Snippet empty("<w:tbl/>");
  std::string reason;
  EXPECT_FALSE(AppendRow(empty.root(), &reason));
  EXPECT_EQ(reason, "the table has no row");
}

}  // namespace
}  // namespace ovc::word
