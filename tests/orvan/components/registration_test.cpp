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
  const TypeLibraryInfo& library = OrvanHostTypeLibrary();
  ASSERT_EQ(library.coclasses.size(), 13u);
  for (const CoclassInfo* coclass : library.coclasses) {
    const std::wstring prog_id = L"Orvan." + std::wstring(coclass->name);
    SCOPED_TRACE(ToUtf8(prog_id));
    for (const std::wstring& name : {prog_id, prog_id + L".1"}) {
      CLSID clsid{};
      ASSERT_EQ(CLSIDFromProgID(name, &clsid), S_OK);
      EXPECT_EQ(clsid, coclass->clsid);
    }
    std::wstring versioned;
    EXPECT_EQ(ProgIDFromCLSID(coclass->clsid, &versioned), S_OK);
    EXPECT_EQ(versioned, prog_id + L".1");

    ComPtr<IDispatch> object;
    ASSERT_EQ(CreateObject(prog_id, &object), S_OK);
    ComPtr<IUnknown> default_interface;
    EXPECT_EQ(
        object->QueryInterface(coclass->default_interface->iid, default_interface.ReceiveVoid()),
        S_OK);
    ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(object.As(&errors), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(coclass->default_interface->iid), S_OK);
    EXPECT_EQ(errors->InterfaceSupportsErrorInfo(IDispatch::kIid), S_FALSE);
  }
}

TEST(ComponentRegistrationTest, ClassObjectsRefuseAggregation) {
  ASSERT_EQ(RegisterOrvanClasses(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(CLSID_Workspace, CLSCTX_INPROC_SERVER, IClassFactory::kIid,
                             factory.ReceiveVoid()),
            S_OK);
  ComPtr<IDispatch> outer;
  ASSERT_EQ(CreateObject(L"Orvan.Unit", &outer), S_OK);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(outer.get(), IDispatch::kIid, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  ComPtr<IOVWorkspace> workspace;
  EXPECT_EQ(factory->CreateInstance(nullptr, IOVWorkspace::kIid, workspace.ReceiveVoid()), S_OK);
  EXPECT_TRUE(workspace);
}

}  // namespace
}  // namespace ovc::orvan
