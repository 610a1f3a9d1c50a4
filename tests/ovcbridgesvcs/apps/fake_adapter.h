#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/working_folder.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/frame/library_registered.h"

namespace ovc::apps_testing {

// What a FakeAdapter was told and what it answers.
struct AdapterScript {
  std::wstring path;
  std::vector<std::wstring> locations;
  std::map<int, std::wstring> macros;
  HRESULT save_result = S_OK;
  VARIANT_BOOL saved = VARIANT_TRUE;
  VARIANT_BOOL* linked = nullptr;
  int saves = 0;
  int terminations = 0;
};

// An adapter that drives no office application: it keeps what it is told
// in its script and answers from it; what the tests do not use is E_NOTIMPL.
class FakeAdapter final : public ComObject<DispatchImpl<IExternalApp>> {
 public:
  explicit FakeAdapter(std::shared_ptr<AdapterScript> script) : s_(std::move(script)) {}

  HRESULT get_Path(std::wstring* value) override { return Out(value, s_->path); }
  HRESULT put_Path(const std::wstring& value) override { return In(s_->path, value); }
  HRESULT putLinkedPtr(VARIANT_BOOL* linked) override { return In(s_->linked, linked); }
  HRESULT TerminateApp(VARIANT_BOOL) override { return In(s_->terminations, s_->terminations + 1); }
  HRESULT Save() override { return In(s_->saves, s_->saves + 1) | s_->save_result; }
  HRESULT get_Saved(VARIANT_BOOL* value) override { return Out(value, s_->saved); }
  HRESULT get_LocationList(Variant* value) override {
    std::vector<Variant> names(s_->locations.begin(), s_->locations.end());
    return Out(value, Variant(SafeArray::FromValues(std::move(names), VT_BSTR)));
  }
  HRESULT RefreshLocationMap() override { return S_OK; }
  HRESULT DisplayLocation(const std::wstring&) override { return S_OK; }
  HRESULT Activate(VARIANT_BOOL) override { return S_OK; }
  HRESULT get_MacroPreImport(std::wstring* value) override { return Out(value, s_->macros[1]); }
  HRESULT put_MacroPreImport(const std::wstring& value) override {
    return In(s_->macros[1], value);
  }
  HRESULT get_MacroPostImport(std::wstring* value) override { return Out(value, s_->macros[2]); }
  HRESULT put_MacroPostImport(const std::wstring& value) override {
    return In(s_->macros[2], value);
  }
  HRESULT get_MacroPreExport(std::wstring* value) override { return Out(value, s_->macros[3]); }
  HRESULT put_MacroPreExport(const std::wstring& value) override {
    return In(s_->macros[3], value);
  }
  HRESULT get_MacroPostExport(std::wstring* value) override { return Out(value, s_->macros[4]); }
  HRESULT put_MacroPostExport(const std::wstring& value) override {
    return In(s_->macros[4], value);
  }
  HRESULT get_MacroRelease(std::wstring* value) override { return Out(value, s_->macros[5]); }
  HRESULT put_MacroRelease(const std::wstring& value) override { return In(s_->macros[5], value); }
  HRESULT get_AppFileFilter(std::wstring*) override { return E_NOTIMPL; }
  HRESULT SetValue(const std::wstring&, const Variant&) override { return E_NOTIMPL; }
  HRESULT GetValue(const std::wstring&, Variant*) override { return E_NOTIMPL; }
  HRESULT PreImport() override { return E_NOTIMPL; }
  HRESULT PostImport() override { return E_NOTIMPL; }
  HRESULT PreExport() override { return E_NOTIMPL; }
  HRESULT PostExport() override { return E_NOTIMPL; }
  HRESULT get_LocationCount(int32_t*) override { return E_NOTIMPL; }
  HRESULT RunMacro(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT get_ReadOnly(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT LocationExists(const std::wstring&, VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT get_StringValuesOnly(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT DeleteLocationName(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT SetVectorValue(const std::wstring&, const Variant&, VARIANT_BOOL) override {
    return E_NOTIMPL;
  }
  HRESULT CloneLocation(const std::wstring&, const std::wstring&, VARIANT_BOOL) override {
    return E_NOTIMPL;
  }
  HRESULT get_Description(std::wstring*) override { return E_NOTIMPL; }
  HRESULT put_Description(const std::wstring&) override { return E_NOTIMPL; }
  HRESULT get_ModifiedBy(std::wstring*) override { return E_NOTIMPL; }
  HRESULT get_ModifiedTimeStamp(Variant*) override { return E_NOTIMPL; }
  HRESULT SetValueAtSelection(const Variant&) override { return E_NOTIMPL; }
  HRESULT SetVectorValueAtSelection(const Variant&, VARIANT_BOOL) override { return E_NOTIMPL; }

 private:
  template <class T, class U>
  static HRESULT Out(T* out, const U& value) {
    *out = value;
    return S_OK;
  }
  template <class T, class U>
  static HRESULT In(T& field, const U& value) {
    field = value;
    return S_OK;
  }

  std::shared_ptr<AdapterScript> s_;
};

// While it lives, the library's classes are registered and the ExcelApp
// class makes FakeAdapters, each with a new script (in `scripts`, in the
// order made). The working folder is a fresh folder of its own.
class FakeExcelApps {
 public:
  FakeExcelApps() {
    EXPECT_EQ(CoRegisterClassObject(CLSID_ExcelApp, MakeObject<Factory>(this).get(),
                                    CLSCTX_INPROC_SERVER, &cookie_),
              S_OK);
    std::string pattern = (std::filesystem::temp_directory_path() / "apps-XXXXXX").string();
    EXPECT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    SetWorkingFolderService(std::make_shared<FolderService>(root_ / "work"));
  }
  ~FakeExcelApps() {
    CoRevokeClassObject(cookie_);
    SetWorkingFolderService(nullptr);
    std::filesystem::remove_all(root_);
  }
  FakeExcelApps(const FakeExcelApps&) = delete;
  FakeExcelApps& operator=(const FakeExcelApps&) = delete;

  // A file `relative` under the test's folder holding `content`, made with
  // its folders; its path.
  std::wstring File(const std::string& relative, const std::string& content = "data") const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << content;
    return FromUtf8(path.string());
  }
  std::filesystem::path work() const { return root_ / "work"; }

  std::vector<std::shared_ptr<AdapterScript>> scripts;

 private:
  struct FolderService final : WorkingFolderService {
    explicit FolderService(std::filesystem::path path) : path(std::move(path)) {}
    std::filesystem::path Folder() override { return path; }
    std::filesystem::path path;
  };
  struct Factory final : ComObject<IClassFactory> {
    explicit Factory(FakeExcelApps* owner) : owner(owner) {}
    HRESULT CreateInstance(IUnknown*, const IID& iid, void** object) override {
      owner->scripts.push_back(std::make_shared<AdapterScript>());
      return MakeObject<FakeAdapter>(owner->scripts.back())->QueryInterface(iid, object);
    }
    HRESULT LockServer(bool) override { return S_OK; }
    FakeExcelApps* owner;
  };

  frame_testing::LibraryRegistered library_;
  uint32_t cookie_ = 0;
  std::filesystem::path root_;
};

}  // namespace ovc::apps_testing
