#include "ovcbridgesvcs/frame/class_factory.h"

#include <gtest/gtest.h>

#include <iterator>

#include "automation/com_object.h"
#include "automation/dispatch.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/frame/library_classes.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

constexpr CLSID kUnknownClass = MakeGuid("38000299-BF26-11D5-A6FE-0002A500E8F9");

// A minimal object of the library, counted by the module like every other.
struct ITestThing : IUnknown {
  static constexpr IID kIid = MakeGuid("AAAAAAAA-0000-0000-0000-000000000001");
  using Base = IUnknown;

 protected:
  ~ITestThing() = default;
};

class TestThing final : public ComObject<ITestThing> {
 private:
  ModuleLock module_lock_;
};

int32_t LockCount() { return ServerModule::Instance().lock_count(); }

TEST(ClassFactoryTest, EveryCreatableClassHasAFactory) {
  for (const LibraryClass& entry : LibraryClasses()) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(GetLibraryClassObject(entry.clsid, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
    ComPtr<IUnknown> instance;
    const HRESULT hr = factory->CreateInstance(nullptr, IUnknown::kIid, instance.ReceiveVoid());
    if (entry.create == nullptr) {
      EXPECT_EQ(hr, CLASS_E_CLASSNOTAVAILABLE) << "a class without implementation";
      EXPECT_FALSE(instance);
    } else {
      EXPECT_EQ(hr, S_OK);
      EXPECT_TRUE(instance);
    }
  }
}

TEST(ClassFactoryTest, OtherClassesAreNotAvailable) {
  void* object = &object;
  EXPECT_EQ(GetLibraryClassObject(kUnknownClass, IClassFactory::kIid, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(GetLibraryClassObject(CLSID_Bridge, IClassFactory::kIid, nullptr), E_POINTER);
  EXPECT_EQ(GetLibraryClassObject(CLSID_Bridge, IDispatch::kIid, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

TEST(ClassFactoryTest, TableMatchesTheTypeLibrary) {
  const struct {
    CLSID clsid;
    uint32_t script;
  } expected[] = {
      {CLSID_Bridge, 101},   {CLSID_LinkSet, 102}, {CLSID_Link, 103},          {CLSID_App, 104},
      {CLSID_ExcelApp, 105}, {CLSID_WordApp, 106}, {CLSID_AppCollection, 107}, {CLSID_Orvan, 108},
  };
  ASSERT_EQ(LibraryClasses().size(), std::size(expected));
  for (const auto& e : expected) {
    const LibraryClass* entry = FindCreatableClass(e.clsid);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->registry_script, e.script);
    EXPECT_NE(FindLibraryClass(e.clsid), nullptr) << "a class of the type library";
  }
  EXPECT_EQ(LibraryTypeInfo().coclasses.size(), std::size(expected));
  EXPECT_EQ(FindCreatableClass(kUnknownClass), nullptr);
}

TEST(ClassFactoryTest, FactoryMakesInstancesWithItsCreator) {
  const ComPtr<IClassFactory> factory = CreateClassFactory(&CreateObject<TestThing>);
  ComPtr<ITestThing> thing;
  EXPECT_EQ(factory->CreateInstance(nullptr, ITestThing::kIid, thing.ReceiveVoid()), S_OK);
  EXPECT_TRUE(thing);

  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(factory->CreateInstance(nullptr, IDispatch::kIid, dispatch.ReceiveVoid()),
            E_NOINTERFACE);
  EXPECT_EQ(factory->CreateInstance(nullptr, ITestThing::kIid, nullptr), E_POINTER);
}

TEST(ClassFactoryTest, AggregationIsRefused) {
  const ComPtr<IClassFactory> factory = CreateClassFactory(&CreateObject<TestThing>);
  const ComPtr<ITestThing> outer = MakeObject<TestThing>();
  ComPtr<IUnknown> inner;
  EXPECT_EQ(factory->CreateInstance(outer.get(), IUnknown::kIid, inner.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  EXPECT_FALSE(inner);
}

TEST(ClassFactoryTest, ObjectsFactoriesAndServerLocksHoldTheModule) {
  const int32_t start = LockCount();
  {
    const ComPtr<IClassFactory> factory = CreateClassFactory(&CreateObject<TestThing>);
    EXPECT_EQ(LockCount(), start + 1);
    ComPtr<ITestThing> thing;
    ASSERT_EQ(factory->CreateInstance(nullptr, ITestThing::kIid, thing.ReceiveVoid()), S_OK);
    EXPECT_EQ(LockCount(), start + 2);
    EXPECT_EQ(factory->LockServer(true), S_OK);
    EXPECT_EQ(LockCount(), start + 3);
    EXPECT_EQ(ServerModule::Instance().CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(false), S_OK);
    EXPECT_EQ(LockCount(), start + 2);
  }
  EXPECT_EQ(LockCount(), start);
  EXPECT_EQ(ServerModule::Instance().CanUnloadNow(), start == 0 ? S_OK : S_FALSE);
}

TEST(ClassFactoryTest, ModuleLockCopiesCountToo) {
  const int32_t start = LockCount();
  {
    ModuleLock first;
    ModuleLock second = first;
    EXPECT_EQ(LockCount(), start + 2);
    second = first;
    EXPECT_EQ(LockCount(), start + 2);
  }
  EXPECT_EQ(LockCount(), start);
}

}  // namespace
}  // namespace ovc
