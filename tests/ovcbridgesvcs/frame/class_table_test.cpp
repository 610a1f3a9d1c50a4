#include "ovcbridgesvcs/frame/class_table.h"

#include <gtest/gtest.h>

#include <new>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"

namespace ovc {
namespace {

HRESULT CreateThrowing(const IID&, void**) { throw std::bad_alloc(); }

LibraryClass TestClass(ClassCreator create) {
  return {LibraryClasses().classes()[0].coclass, create};
}

TEST(ClassTableTest, EveryClassOfTheTypeLibraryIsCreatable) {
  ASSERT_EQ(LibraryClasses().classes().size(), LibraryTypeInfo().coclasses.size());
  const frame_testing::LibraryRegistered registered;
  for (const LibraryClass& entry : LibraryClasses().classes()) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(
        GetLibraryClassObject(entry.coclass->clsid, IClassFactory::kIid, factory.ReceiveVoid()),
        S_OK);
    ComPtr<IDispatch> instance;
    EXPECT_EQ(factory->CreateInstance(nullptr, IDispatch::kIid, instance.ReceiveVoid()), S_OK)
        << "a class of the type library without a creator";
    EXPECT_TRUE(instance);
  }
}

TEST(ClassTableTest, FactoryRefusesAggregationAndNeverThrows) {
  const ComPtr<IClassFactory> factory = CreateClassFactory(TestClass(&CreateThrowing));
  ComPtr<IUnknown> object;
  EXPECT_EQ(factory->CreateInstance(factory.get(), IUnknown::kIid, object.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IUnknown::kIid, nullptr), E_POINTER);
  EXPECT_EQ(factory->CreateInstance(nullptr, IUnknown::kIid, object.ReceiveVoid()), E_OUTOFMEMORY);
  const ComPtr<IClassFactory> unwritten = CreateClassFactory(TestClass(nullptr));
  EXPECT_EQ(unwritten->CreateInstance(nullptr, IUnknown::kIid, object.ReceiveVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_NE(TakeErrorDescription().find(L"is not implemented yet"), std::wstring::npos);
}

}  // namespace
}  // namespace ovc
