#include "automation/class_registry.h"

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "tests/automation/live_objects.h"
#include "tests/automation/modules/sample_class.h"
#include "tests/automation/value_object.h"

namespace ovc {
namespace {

using objects_testing::kSampleClsid;

constexpr CLSID kEngineClsid = MakeGuid("0A0B0C0D-1111-4222-8333-444455556666");
constexpr CLSID kUnknownClsid = MakeGuid("DEADBEEF-0000-4000-8000-000000000000");

class Engine final : public values_testing::ValueObject,
                     public objects_testing::LiveObjects<Engine> {
 public:
  Engine() : ValueObject(Variant()) {}
};

class EngineFactory final : public ComObject<IClassFactory>,
                            public objects_testing::LiveObjects<EngineFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    ++created;
    if (failure) std::rethrow_exception(failure);
    return CreateObject<Engine>(iid, object);
  }
  HRESULT LockServer(bool) override { return S_OK; }

  int created = 0;
  std::exception_ptr failure;  // thrown by CreateInstance when set
};

std::wstring Key(std::wstring_view path) { return L"HKEY_CLASSES_ROOT\\" + std::wstring(path); }

class ClassRegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    RegistryStore::Current().Close();
    GetErrorInfo();
  }
  void TearDown() override {
    for (uint32_t cookie : cookies_) EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    RegistryStore::Current().Close();
    GetErrorInfo();
    EXPECT_EQ(Engine::count(), 0);
    EXPECT_EQ(EngineFactory::count(), 0);
  }

  ComPtr<EngineFactory> Register(const CLSID& clsid, uint32_t context, ClassNames names = {}) {
    auto factory = MakeObject<EngineFactory>();
    uint32_t cookie = 0;
    EXPECT_EQ(CoRegisterClassObject(clsid, static_cast<IClassFactory*>(factory.get()), context,
                                    &cookie, std::move(names)),
              S_OK);
    cookies_.push_back(cookie);
    return factory;
  }
  // A new dispatch object of the class, made outside any outer object.
  static HRESULT New(const CLSID& clsid, uint32_t context, void** object) {
    return CoCreateInstance(clsid, nullptr, context, IDispatch::kIid, object);
  }
  static void Store(std::wstring_view key, std::wstring value) {
    ASSERT_EQ(RegistryStore::Current().SetValue(Key(key), L"", std::move(value)), S_OK);
  }
  static void RegisterModule(const CLSID& clsid, const std::string& path) {
    Store(L"CLSID\\" + GuidToString(clsid) + L"\\InprocServer32",
          std::wstring(path.begin(), path.end()));
  }

  std::vector<uint32_t> cookies_;
};

TEST_F(ClassRegistryTest, CreationFailures) {
  const auto factory = Register(kEngineClsid, CLSCTX_LOCAL_SERVER);
  void* object = &object;
  const auto engine = MakeObject<Engine>();

  EXPECT_EQ(CoCreateInstance(kEngineClsid, engine.get(), CLSCTX_ALL, IDispatch::kIid, &object),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(New(kEngineClsid, CLSCTX_INPROC_SERVER, &object), REGDB_E_CLASSNOTREG)
      << "served only as a local server";
  EXPECT_NE(TakeErrorDescription().find(GuidToString(kEngineClsid)), std::wstring::npos);
  EXPECT_EQ(factory->created, 0) << "no attempt reached the factory";

  Store(L"CLSID\\" + GuidToString(kUnknownClsid) + L"\\LocalServer32", L"/usr/bin/engine");
  EXPECT_EQ(New(kUnknownClsid, CLSCTX_LOCAL_SERVER, &object), REGDB_E_CLASSNOTREG)
      << "a stored local server is not started";
  EXPECT_NE(TakeErrorDescription().find(L"not running"), std::wstring::npos);

  // How each exception maps to a status is checked with the dispatch tests.
  factory->failure = std::make_exception_ptr(std::runtime_error("no engines"));
  EXPECT_EQ(New(kEngineClsid, CLSCTX_LOCAL_SERVER, &object), E_UNEXPECTED);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(TakeErrorDescription(), L"Unhandled C++ exception (std::runtime_error): no engines");
}

TEST_F(ClassRegistryTest, NewestRegistrationWinsUntilRevokedAndRevokingReleasesIt) {
  const auto older = Register(kEngineClsid, CLSCTX_INPROC_SERVER);
  auto newer = Register(kEngineClsid, CLSCTX_INPROC_SERVER);
  ComPtr<IDispatch> engine;
  ASSERT_EQ(New(kEngineClsid, CLSCTX_ALL, engine.ReceiveVoid()), S_OK);
  EXPECT_EQ(newer->created, 1);
  EXPECT_EQ(Engine::count(), 1);
  newer.Reset();
  EXPECT_EQ(EngineFactory::count(), 2) << "the registration holds the factory";
  ASSERT_EQ(CoRevokeClassObject(cookies_.back()), S_OK);
  EXPECT_EQ(CoRevokeClassObject(cookies_.back()), E_INVALIDARG);
  cookies_.pop_back();
  EXPECT_EQ(EngineFactory::count(), 1);
  New(kEngineClsid, CLSCTX_ALL, engine.ReceiveVoid());
  EXPECT_EQ(older->created, 1);

  ASSERT_EQ(CoRevokeClassObject(cookies_.back()), S_OK);
  cookies_.clear();
  ComPtr<IClassFactory> class_object;
  EXPECT_EQ(
      CoGetClassObject(kEngineClsid, CLSCTX_ALL, IClassFactory::kIid, class_object.ReceiveVoid()),
      REGDB_E_CLASSNOTREG);
}

TEST_F(ClassRegistryTest, RegisteredNamesFindTheClass) {
  Register(kEngineClsid, CLSCTX_LOCAL_SERVER,
           {L"Excel.Application", L"Excel.Application.16", L"Microsoft Excel Application"});
  for (const wchar_t* name : {L"excel.application", L"EXCEL.APPLICATION.16"}) {
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(name, &clsid), S_OK) << name;
    EXPECT_EQ(clsid, kEngineClsid) << name;
  }
  std::wstring prog_id;
  ASSERT_EQ(ProgIDFromCLSID(kEngineClsid, &prog_id), S_OK);
  EXPECT_EQ(prog_id, L"Excel.Application.16");

  ComPtr<IDispatch> application;
  ASSERT_EQ(CreateObject(L"Excel.Application", &application), S_OK);
  EXPECT_TRUE(application);
}

TEST_F(ClassRegistryTest, StoredProgIdsResolveToTheirClass) {
  constexpr CLSID kVersion1 = MakeGuid("00000000-0000-4000-8000-0000000000A1");
  constexpr CLSID kVersion2 = MakeGuid("00000000-0000-4000-8000-0000000000A2");
  Store(L"Bridge.Doc.1\\CLSID", GuidToString(kVersion1));
  Store(L"Bridge.Doc.2\\CLSID", GuidToString(kVersion2));
  // The version-independent name keeps the old class; CurVer decides.
  Store(L"Bridge.Doc\\CLSID", GuidToString(kVersion1));
  Store(L"Bridge.Doc\\CurVer", L"Bridge.Doc.2");
  Store(L"Only.CurVer\\CurVer", L"Bridge.Doc.1");
  Store(L"Dangling.CurVer\\CurVer", L"Nowhere.1");
  Store(L"Dangling.CurVer\\CLSID", GuidToString(kVersion2));
  Store(L"Loop.A\\CurVer", L"Loop.B");
  Store(L"Loop.B\\CurVer", L"Loop.A");
  Store(L"Corrupt\\CLSID", L"not a guid");
  const struct {
    const wchar_t* prog_id;
    HRESULT expected;
    CLSID clsid;
  } cases[] = {
      {L"Bridge.Doc.1", S_OK, kVersion1},
      {L"Bridge.Doc", S_OK, kVersion2},       // follows CurVer
      {L"Only.CurVer", S_OK, kVersion1},      // CurVer without a CLSID of its own
      {L"Dangling.CurVer", S_OK, kVersion2},  // CurVer to nowhere: its own CLSID
      {L"Loop.A", CO_E_CLASSSTRING, GUID_NULL},
      {L"Bridge.Doc\\CurVer", CO_E_CLASSSTRING, GUID_NULL},
      {L"Corrupt", REGDB_E_READREGDB, GUID_NULL},
      {L"{00000000-0000-4000-8000-0000000000a2}", S_OK, kVersion2},
      {L"{00000000-0000-4000-8000-0000000000A2}x", CO_E_CLASSSTRING, GUID_NULL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.prog_id));
    CLSID clsid = kUnknownClsid;
    GetErrorInfo();
    EXPECT_EQ(CLSIDFromProgID(c.prog_id, &clsid), c.expected);
    EXPECT_EQ(clsid, c.clsid);
    if (Failed(c.expected)) {
      EXPECT_NE(TakeErrorDescription(), L"") << "a failure leaves an error object";
    }
  }

  Store(L"CLSID\\" + GuidToString(kVersion1) + L"\\ProgID", L"Bridge.Doc.1");
  std::wstring prog_id;
  ASSERT_EQ(ProgIDFromCLSID(kVersion1, &prog_id), S_OK);
  EXPECT_EQ(prog_id, L"Bridge.Doc.1");
  EXPECT_EQ(ProgIDFromCLSID(kUnknownClsid, &prog_id), REGDB_E_CLASSNOTREG);
}

// Calls through objects of a module loaded by path are left to the Python
// suite, whose test server is such a module; the leak checker of the
// sanitizer build watches the factory and the instance made here.
TEST_F(ClassRegistryTest, CreatesThroughModulesLoadedByPathAndSaysWhatWentWrong) {
  const struct {
    CLSID clsid;
    std::string path;
    HRESULT code;
    std::vector<std::wstring> described;  // parts of the error description
  } cases[] = {
      {kSampleClsid, OVC_SAMPLE_MODULE, S_OK, {}},
      {kEngineClsid, OVC_SAMPLE_MODULE, CLASS_E_CLASSNOTAVAILABLE, {}},
      {kSampleClsid, "/nonexistent/missing.so", CO_E_DLLNOTFOUND, {L"/nonexistent/missing.so"}},
      {kSampleClsid, OVC_NO_ENTRY_MODULE, CO_E_ERRORINDLL, {L"DllGetClassObject"}},
  };
  for (const auto& c : cases) {
    RegisterModule(c.clsid, c.path);
    ComPtr<IDispatch> object;
    EXPECT_EQ(New(c.clsid, CLSCTX_ALL, object.ReceiveVoid()), c.code) << c.path;
    const std::wstring description = TakeErrorDescription();
    for (const std::wstring& part : c.described) {
      EXPECT_NE(description.find(part), std::wstring::npos) << ToUtf8(description);
    }
  }
}

}  // namespace
}  // namespace ovc
