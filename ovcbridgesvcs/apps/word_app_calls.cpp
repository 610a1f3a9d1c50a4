#include "ovcbridgesvcs/apps/word_app_calls.h"

#include <utility>

#include "automation/conversion.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::apps::word {
namespace {

HRESULT Wrap(CallKind kind, Variant* result, IDispatch* target, LateMember& member,
             std::vector<Variant> args) {
  return AutoWrap(kind, result, target, member, std::move(args), CLSID_WordApp);
}

HRESULT GetAs(IDispatch* target, LateMember& member, VARTYPE type, Variant* value) {
  Variant raw;
  HRESULT hr = Get(target, member, &raw);
  if (Succeeded(hr) && Failed(VariantChangeType(value, raw, 0, type))) hr = DISP_E_TYPEMISMATCH;
  return hr;
}

}  // namespace

HRESULT Get(IDispatch* target, LateMember& member, Variant* value, std::vector<Variant> args) {
  return Wrap(CallKind::kGet, value, target, member, std::move(args));
}

HRESULT Put(IDispatch* target, LateMember& member, Variant value) {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  return Wrap(CallKind::kPut, nullptr, target, member, std::move(args));
}

HRESULT Call(IDispatch* target, LateMember& member, std::vector<Variant> args, Variant* result) {
  return Wrap(CallKind::kMethod, result, target, member, std::move(args));
}

HRESULT GetObject(IDispatch* target, LateMember& member, ComPtr<IDispatch>* object,
                  std::vector<Variant> args, bool as_method) {
  object->Reset();
  Variant value;
  const HRESULT hr =
      Wrap(as_method ? CallKind::kMethod : CallKind::kGet, &value, target, member, std::move(args));
  if (Failed(hr)) return hr;
  if (value.vt() != VT_DISPATCH || value.dispatch() == nullptr) return DISP_E_TYPEMISMATCH;
  *object = ComPtr<IDispatch>(value.dispatch());
  return hr;
}

HRESULT Item(IDispatch* collection, LateMember& item, Variant index, ComPtr<IDispatch>* object) {
  std::vector<Variant> args;
  args.push_back(std::move(index));
  return GetObject(collection, item, object, std::move(args), true);
}

HRESULT GetLong(IDispatch* target, LateMember& member, int32_t* value) {
  Variant number;
  const HRESULT hr = GetAs(target, member, VT_I4, &number);
  if (Succeeded(hr)) *value = number.i4();
  return hr;
}

HRESULT GetFlag(IDispatch* target, LateMember& member, bool* value) {
  Variant flag;
  const HRESULT hr = GetAs(target, member, VT_BOOL, &flag);
  if (Succeeded(hr)) *value = flag.boolVal() != VARIANT_FALSE;
  return hr;
}

HRESULT GetText(IDispatch* target, LateMember& member, std::wstring* value) {
  Variant text;
  const HRESULT hr = GetAs(target, member, VT_BSTR, &text);
  if (Succeeded(hr)) *value = text.bstr();
  return hr;
}

HRESULT AddBookmark(IDispatch* document, const std::wstring& name, IDispatch* range) {
  ComPtr<IDispatch> bookmarks;
  const HRESULT hr = GetObject(document, kDocumentBookmarks, &bookmarks);
  return Succeeded(hr) ? Call(bookmarks.get(), kBookmarksAdd, {Variant(name), Variant(range)}) : hr;
}

HRESULT Report(std::wstring text, std::wstring_view reason, HRESULT code) {
  return ReportError(CLSID_WordApp, WithReason(std::move(text), reason), IExternalApp::kIid, code);
}

HRESULT FirstFailure::Keep(HRESULT status) {
  if (Failed(status) && !Failed(status_)) {
    status_ = status;
    error_ = GetErrorInfo();
  }
  return status;
}

HRESULT FirstFailure::Status() const {
  if (Failed(status_)) SetErrorInfo(error_);
  return status_;
}

}  // namespace ovc::apps::word
