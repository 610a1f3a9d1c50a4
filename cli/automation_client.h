#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"
#include "automation/variant.h"

namespace ovc::cli {

// A failed call: its status and the error chain, one record a line.
struct Failure {
  HRESULT code = E_FAIL;
  std::wstring description;
};

// Registers the host's classes, the office applications and the library at
// `library_path`, so that every object is created by ProgID. Throws Failure.
void RegisterClasses(const std::string& library_path);
// A function the registered library exports; null when there is none.
void* LibraryExport(const char* name);

// An automation object driven late bound, as a script drives it. Every
// member throws Failure when the call fails.
class Object {
 public:
  Object() = default;
  explicit Object(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  static Object Create(std::wstring_view prog_id);

  Variant Get(std::wstring_view name, std::vector<Variant> args = {}) const;
  Object GetObject(std::wstring_view name, std::vector<Variant> args = {}) const;
  std::wstring Text(std::wstring_view name, std::vector<Variant> args = {}) const;
  int32_t Number(std::wstring_view name) const;
  bool Flag(std::wstring_view name) const;
  void Put(std::wstring_view name, Variant value) const;
  Variant Call(std::wstring_view name, std::vector<Variant> args = {}) const;

  IDispatch* get() const { return object_.get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }

 private:
  Variant Invoke(std::wstring_view name, uint16_t flags, std::vector<Variant> args) const;

  ComPtr<IDispatch> object_;
};

// A value as text by the automation conversion rules; "" when it has none.
std::wstring AsText(const Variant& value);
// The texts of a one-dimensional array (empty for anything else).
std::vector<std::wstring> AsTexts(const Variant& value);

}  // namespace ovc::cli
