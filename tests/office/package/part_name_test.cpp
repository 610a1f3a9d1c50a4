#include "office/package/part_name.h"

#include <gtest/gtest.h>

namespace ovc::office {
namespace {

TEST(PartNameTest, TargetsResolveAgainstTheSourceFolder) {
  const struct Case {
    const char* source;
    const char* target;
    const char* part;  // null: refused
  } cases[] = {
      {"/xl/workbook.xml", "worksheets/sheet1.xml", "/xl/worksheets/sheet1.xml"},
      {"/xl/workbook.xml", "/xl/styles.xml", "/xl/styles.xml"},
      {"/xl/workbook.xml", "../docProps/core.xml", "/docProps/core.xml"},
      {"/xl/workbook.xml", "./theme/./theme1.xml#frag", "/xl/theme/theme1.xml"},
      {"/", "xl/workbook.xml", "/xl/workbook.xml"},
      {"/xl/workbook.xml", "../../etc/passwd", nullptr},
      {"/xl/workbook.xml", "", nullptr},
      {"/xl/workbook.xml", "a\\b.xml", nullptr},
  };
  for (const Case& c : cases) {
    std::string part = "unchanged";
    const bool resolved = ResolveTarget(c.source, c.target, &part);
    EXPECT_EQ(resolved, c.part != nullptr) << c.source << " + " << c.target;
    EXPECT_EQ(part, c.part != nullptr ? c.part : "unchanged") << c.target;
  }
}

TEST(PartNameTest, NamesCompareWithoutCaseAndEscapes) {
  EXPECT_EQ(PartKey("/XL/Sheet%20One.xml"), PartKey("/xl/sheet one.XML"));
  EXPECT_NE(PartKey("/xl/a.xml"), PartKey("/xl/b.xml"));
}

TEST(PartNameTest, RelationshipsPartAndRelativeTarget) {
  EXPECT_EQ(RelationshipsPartName("/xl/workbook.xml"), "/xl/_rels/workbook.xml.rels");
  std::string source;
  EXPECT_FALSE(SourceOfRelationshipsPart("/xl/_rels/x/a.rels", &source));
  EXPECT_FALSE(SourceOfRelationshipsPart("/xl/rels/a.xml.rels", &source));
  EXPECT_EQ(RelativeTarget("/xl/workbook.xml", "/xl/worksheets/s.xml"), "worksheets/s.xml");
  EXPECT_EQ(RelativeTarget("/xl/workbook.xml", "/docProps/core.xml"), "/docProps/core.xml");
}

}  // namespace
}  // namespace ovc::office
