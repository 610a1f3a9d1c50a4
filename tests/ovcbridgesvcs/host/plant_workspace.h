#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/enum_variant.h"
#include "automation/error_info.h"
#include "orvan/components/registration.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/host_state.h"

namespace ovc::host_testing {

// A new host workspace, not yet created or opened.
inline ComPtr<IOVWorkspace> NewWorkspace() {
  EXPECT_EQ(orvan::RegisterOrvanClasses(), S_OK);
  ComPtr<IOVWorkspace> workspace;
  EXPECT_EQ(CoCreateInstance(CLSID_Workspace, nullptr, CLSCTX_ALL, IOVWorkspace::kIid,
                             workspace.ReceiveVoid()),
            S_OK);
  return workspace;
}

// The cache of `workspace`.
inline ComPtr<IOVCache> CacheOf(IOVWorkspace* workspace) {
  ComPtr<IDispatch> cache;
  EXPECT_EQ(workspace->get_Cache(cache.Receive()), S_OK);
  return cache.As<IOVCache>();
}

// The sample plant imported into an in-memory workspace of the host:
// unit standards SI, US and Metric; cases 101 Design, 102 Rated (governing)
// and 103 Normal; the pumps P-101A (OID 1001) on and tanks T-201 (2001) on;
// the line 4001, which applies to cases 101 and 103 only; no bridges. The
// host state is emptied after each test.
class PlantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(workspace_->Create(L":memory:"), S_OK);
    ASSERT_EQ(workspace_->Import(L"" OVC_SAMPLE_PLANT), S_OK);
  }
  void TearDown() override {
    HostState::Current().Clear();
    SetErrorInfo(nullptr);
  }

  ComPtr<IOVWorkspace> workspace_ = NewWorkspace();
  ComPtr<IOVCache> cache_ = CacheOf(workspace_.get());
};

// While it lives, class `clsid` cannot be created, as if it were not
// installed: its newest class object refuses every instance.
class ClassWithdrawn {
 public:
  explicit ClassWithdrawn(const CLSID& clsid) {
    EXPECT_EQ(
        CoRegisterClassObject(clsid, MakeObject<Refusing>().get(), CLSCTX_INPROC_SERVER, &cookie_),
        S_OK);
  }
  ~ClassWithdrawn() { CoRevokeClassObject(cookie_); }
  ClassWithdrawn(const ClassWithdrawn&) = delete;
  ClassWithdrawn& operator=(const ClassWithdrawn&) = delete;

 private:
  struct Refusing final : ComObject<IClassFactory> {
    HRESULT CreateInstance(IUnknown*, const IID&, void**) override { return REGDB_E_CLASSNOTREG; }
    HRESULT LockServer(bool) override { return S_OK; }
  };
  uint32_t cookie_ = 0;
};

// The description and source of the thread's error object, which is taken
// (both empty when there is none).
using ThreadError = std::pair<std::wstring, std::wstring>;
inline ThreadError TakeThreadError() {
  const ComPtr<IErrorInfo> error = GetErrorInfo();
  return {DescriptionOf(error.get()), SourceOf(error.get())};
}
// The first Desc of the thread's error chain, which is taken.
inline std::wstring TakeDesc() { return ExtractDesc(TakeThreadError().first); }

// What the getter `get` of `object` gives; the test fails when the call does.
template <class I, class T>
T Got(I* object, HRESULT (I::*get)(T*)) {
  T value{};
  EXPECT_EQ((object->*get)(&value), S_OK);
  return value;
}

// What `get` reads from each item of `collection`, walked with its
// enumerator; each item must have `collection` as its Parent.
template <class Item, class Collection>
std::vector<std::wstring> ItemTexts(Collection* collection, HRESULT (Item::*get)(std::wstring*)) {
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(collection->get__NewEnum(unknown.Receive()), S_OK);
  const ComPtr<IEnumVARIANT> items = unknown.As<IEnumVARIANT>();
  std::vector<std::wstring> texts;
  Variant item;
  while (items->Next(1, &item, nullptr) == S_OK) {
    const ComPtr<Item> each = ComPtr<IDispatch>(item.dispatch()).As<Item>();
    ComPtr<IDispatch> parent;
    EXPECT_EQ(each->get_Parent(parent.Receive()), S_OK);
    EXPECT_TRUE(IsSameObject(parent.get(), collection));
    (each.get()->*get)(&texts.emplace_back());
  }
  return texts;
}

// Runs `body` (taking the frame) as the body of a method "Test::Run" and
// returns its status; the failure is left on the thread.
template <class Body>
HRESULT RunInFrame(Body&& body) {
  CMethodFrame frame(L"Test::Run");
  return RunMethod(frame, [&] { body(frame); });
}

}  // namespace ovc::host_testing
