#include "automation/exception_guard.h"

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <new>
#include <typeinfo>

#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc {
namespace {

// The readable name of the type of the exception being handled.
std::wstring CurrentExceptionType() {
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) return L"unknown exception";
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> readable(
      abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
  return FromUtf8(readable ? readable.get() : type->name());
}

std::wstring Describe(const char* what) {
  std::wstring description = L"Unhandled C++ exception (" + CurrentExceptionType() + L")";
  if (what != nullptr && *what != '\0') description.append(L": ").append(FromUtf8(what));
  return description;
}

}  // namespace

ExceptionStatus StatusOfCurrentException() noexcept {
  // The exception stays alive, and `what` valid, while the caller's catch
  // block runs.
  HRESULT code = E_UNEXPECTED;
  const char* what = nullptr;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    code = E_OUTOFMEMORY;
  } catch (const std::exception& exception) {
    what = exception.what();
  } catch (...) {
  }
  ExceptionStatus status{code, {}};
  try {
    status.description = code == E_OUTOFMEMORY
                             ? std::wstring(SystemMessage(E_OUTOFMEMORY).value_or(L""))
                             : Describe(what);
  } catch (...) {
  }
  return status;
}

HRESULT ReportCurrentException(std::wstring_view source) noexcept {
  ExceptionStatus status = StatusOfCurrentException();
  try {
    return SetErrorResult(status.code, std::move(status.description), std::wstring(source));
  } catch (...) {
    SetErrorInfo(nullptr);
    return E_OUTOFMEMORY;
  }
}

}  // namespace ovc
