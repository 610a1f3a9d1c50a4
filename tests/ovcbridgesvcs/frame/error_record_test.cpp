#include "ovcbridgesvcs/frame/error_record.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace ovc {
namespace {

// Attributes in order, empty ones left out, quotes made single; the file
// keeps its last two components; ExtractDesc finds a chain's first Desc.
TEST(ErrorRecordTest, RecordsAreWrittenAndReadBack) {
  EXPECT_EQ(ErrorRecord()
                .Add(L"Desc", L"Range \"Total\" not found")
                .Add(L"Src", L"")
                .AddHr(S_OK)
                .AddLocation(L"/src/ovcbridgesvcs/bridge/bridge.cpp", 217)
                .Finish(),
            L"<OVError Desc=\"Range 'Total' not found\" HR=\"0x0\" File=\"bridge/bridge.cpp\" "
            L"Line=\"217\" />");
  using Pair = std::pair<const wchar_t*, const wchar_t*>;
  const Pair files[] = {
      {L"/work/main/ovcbridgesvcs/apps/excelapp.cpp", L"apps/excelapp.cpp"},
      {L"C:\\src\\OVCBridgeSvcs\\wordapp.cpp", L"OVCBridgeSvcs\\wordapp.cpp"},
      {L"/excelapp.cpp", L"/excelapp.cpp"},
  };
  for (const auto& [path, kept] : files) EXPECT_EQ(FileAttributeValue(path), kept);
  const Pair chains[] = {
      {L"Plain foreign text", L"Plain foreign text"},
      {L" <OVError Desc=\"not a chain\" />", L" <OVError Desc=\"not a chain\" />"},
      {L"<OVError Desc=\"Outer\" />\r\n<OVError Desc=\"Inner\" />", L"Outer"},
      {L"<OVError Activity=\"saving\" />\r\n<OVError Src=\"x\" Desc=\"Inner\" />", L"Inner"},
      {L"<OVError Src=\"No Desc here\" Desc=\"Real\" />", L"Real"},
      {L"<OVError HR=\"E_FAIL\" />", L""},
      {L"<OVError Desc=\"Unclosed", L""},
  };
  for (const auto& [text, desc] : chains) EXPECT_EQ(ExtractDesc(text), desc) << text;
}

}  // namespace
}  // namespace ovc
