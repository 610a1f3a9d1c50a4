#include "cli/automation_client.h"

#include <dlfcn.h>

#include "automation/class_registry.h"
#include "automation/conversion.h"
#include "automation/dom/dom.h"
#include "automation/error_info.h"
#include "automation/late_call.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "office/excel/registration.h"
#include "office/word/registration.h"
#include "orvan/components/registration.h"

namespace ovc::cli {
namespace {

void Check(HRESULT hr, std::wstring_view what) {
  if (Succeeded(hr)) return;
  ComPtr<IErrorInfo> error = GetErrorInfo();
  std::wstring description = error ? DescriptionOf(error.get()) : std::wstring();
  throw Failure{hr, description.empty() ? std::wstring(what) + L" failed" : description};
}

// The library RegisterClasses loaded; it stays loaded.
void* library = nullptr;

// Loads the library and runs its DllRegisterServer, as an installer does.
void RegisterServer(const std::string& path) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) throw Failure{E_FAIL, FromUtf8("cannot load " + path + ": " + dlerror())};
  using RegisterFunction = HRESULT (*)();
  auto register_server = reinterpret_cast<RegisterFunction>(dlsym(module, "DllRegisterServer"));
  if (register_server == nullptr) {
    throw Failure{E_FAIL, FromUtf8(path + " exports no DllRegisterServer")};
  }
  Check(register_server(), L"registering the library");
  library = module;
}

}  // namespace

void RegisterClasses(const std::string& library_path) {
  Check(orvan::RegisterOrvanClasses(), L"registering the host");
  RegisterDomClasses();
  Check(excel::RegisterExcelClasses(), L"registering Excel.Application");
  Check(word::RegisterWordClasses(), L"registering Word.Application");
  RegisterServer(library_path);
}

void* LibraryExport(const char* name) {
  return library != nullptr ? dlsym(library, name) : nullptr;
}

Object Object::Create(std::wstring_view prog_id) {
  ComPtr<IDispatch> object;
  Check(CreateObject(std::wstring(prog_id), &object), prog_id);
  return Object(std::move(object));
}

Variant Object::Invoke(std::wstring_view name, uint16_t flags, std::vector<Variant> args) const {
  Variant result;
  EXCEPINFO error;
  const HRESULT hr = CallByName(object_.get(), name, flags, std::move(args), &result, &error);
  if (Failed(hr)) {
    throw Failure{hr,
                  error.description.empty() ? std::wstring(name) + L" failed" : error.description};
  }
  return result;
}

Variant Object::Get(std::wstring_view name, std::vector<Variant> args) const {
  return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args));
}

Object Object::GetObject(std::wstring_view name, std::vector<Variant> args) const {
  Variant value = Get(name, std::move(args));
  if (value.vt() != VT_DISPATCH || value.dispatch() == nullptr) {
    throw Failure{E_NOINTERFACE, std::wstring(name) + L" gave no object"};
  }
  return Object(ComPtr<IDispatch>(value.dispatch()));
}

std::wstring Object::Text(std::wstring_view name, std::vector<Variant> args) const {
  return AsText(Get(name, std::move(args)));
}

int32_t Object::Number(std::wstring_view name) const {
  Variant number;
  const HRESULT hr = VariantChangeType(&number, Get(name), 0, VT_I4);
  if (Failed(hr)) throw Failure{hr, std::wstring(name) + L" is not a number"};
  return number.i4();
}

bool Object::Flag(std::wstring_view name) const {
  Variant flag;
  const HRESULT hr = VariantChangeType(&flag, Get(name), 0, VT_BOOL);
  if (Failed(hr)) throw Failure{hr, std::wstring(name) + L" is not a boolean"};
  return flag.boolVal() != VARIANT_FALSE;
}

void Object::Put(std::wstring_view name, Variant value) const {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  Invoke(name, DISPATCH_PROPERTYPUT, std::move(args));
}

Variant Object::Call(std::wstring_view name, std::vector<Variant> args) const {
  return Invoke(name, DISPATCH_METHOD, std::move(args));
}

std::wstring AsText(const Variant& value) {
  Variant text;
  if (value.IsEmpty() || value.IsNull() || Failed(VariantChangeType(&text, value, 0, VT_BSTR))) {
    return {};
  }
  return text.bstr();
}

std::vector<std::wstring> AsTexts(const Variant& value) {
  std::vector<std::wstring> texts;
  if (!value.IsArray() || value.array().dimensions() != 1) return texts;
  for (const Variant& element : value.array().data()) texts.push_back(AsText(element));
  return texts;
}

}  // namespace ovc::cli
