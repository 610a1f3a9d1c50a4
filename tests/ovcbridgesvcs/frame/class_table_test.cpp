#include "ovcbridgesvcs/frame/class_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"

namespace ovc {
namespace {

// The classes still to be implemented: the only ones without a creator.
constexpr CLSID kNotImplementedYet[] = {CLSID_WordApp};

HRESULT CreateThrowing(const IID&, void**) { throw std::bad_alloc(); }

LibraryClass TestClass(ClassCreator create) {
  return {LibraryClasses().classes()[0].coclass, create};
}

TEST(ClassTableTest, EveryClassOfTheTypeLibraryIsCreatableUnlessNotImplementedYet) {
  ASSERT_EQ(LibraryClasses().classes().size(), LibraryTypeInfo().coclasses.size());
  const frame_testing::LibraryRegistered registered;
  for (const LibraryClass& entry : LibraryClasses().classes()) {
    const CLSID clsid = entry.coclass->clsid;
    const bool pending =
        std::ranges::find(kNotImplementedYet, clsid) != std::end(kNotImplementedYet);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(GetLibraryClassObject(clsid, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
    ComPtr<IDispatch> instance;
    const HRESULT hr = factory->CreateInstance(nullptr, IDispatch::kIid, instance.ReceiveVoid());
    if (pending) {
      EXPECT_EQ(hr, CLASS_E_CLASSNOTAVAILABLE);
      EXPECT_EQ(DescriptionOf(GetErrorInfo().get()),
                L"The class " + VersionedProgId(*entry.coclass) + L" is not implemented yet");
    } else {
      EXPECT_EQ(hr, S_OK) << "a class of the type library without a creator";
      EXPECT_TRUE(instance);
    }
  }
}

TEST(ClassTableTest, PluggingAClassOutsideTheTypeLibraryOrTwiceIsAMistake) {
  ClassTable table;
  EXPECT_THROW(table.Plug(MakeGuid("38000299-BF26-11D5-A6FE-0002A500E8F9"), &CreateThrowing),
               std::logic_error);
  table.Plug(CLSID_Bridge, &CreateThrowing);
  EXPECT_EQ(table.Find(CLSID_Bridge)->create, &CreateThrowing);
  EXPECT_THROW(table.Plug(CLSID_Bridge, &CreateThrowing), std::logic_error);
}

TEST(ClassTableTest, FactoryRefusesAggregationAndNeverThrows) {
  const ComPtr<IClassFactory> factory = CreateClassFactory(TestClass(&CreateThrowing));
  ComPtr<IUnknown> object;
  EXPECT_EQ(factory->CreateInstance(factory.get(), IUnknown::kIid, object.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IUnknown::kIid, nullptr), E_POINTER);
  EXPECT_EQ(factory->CreateInstance(nullptr, IUnknown::kIid, object.ReceiveVoid()), E_OUTOFMEMORY);
  SetErrorInfo(nullptr);
}

}  // namespace
}  // namespace ovc
