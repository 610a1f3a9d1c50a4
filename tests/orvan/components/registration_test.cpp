#include <gtest/gtest.h>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "orvan/components/registration.h"
#include "orvan/orvan.h"

namespace ovc::orvan {
namespace {

TEST(ComponentRegistrationTest, EveryClassOfTheTypeLibraryIsCreatableByBothProgIds) {
  ASSERT_EQ(RegisterOrvanClasses(), S_OK);
  ASSERT_EQ(RegisterOrvanClasses(), S_OK) << "registering again is harmless";
  for (const CoclassInfo* coclass : OrvanHostTypeLibrary().coclasses) {
    const std::wstring prog_id = L"Orvan." + std::wstring(coclass->name);
    SCOPED_TRACE(ToUtf8(prog_id));
    for (const std::wstring& name : {prog_id, prog_id + L".1"}) {
      ComPtr<IDispatch> object;
      ASSERT_EQ(CreateObject(name, &object), S_OK);
      ComPtr<IUnknown> default_interface;
      EXPECT_EQ(
          object->QueryInterface(coclass->default_interface->iid, default_interface.ReceiveVoid()),
          S_OK);
      ComPtr<ISupportErrorInfo> errors;
      ASSERT_EQ(object.As(&errors), S_OK);
      EXPECT_EQ(errors->InterfaceSupportsErrorInfo(coclass->default_interface->iid), S_OK);
    }
  }
}

}  // namespace
}  // namespace ovc::orvan
