// The transfer brackets: what Pre... turns off and Post... puts back.
#include <optional>
#include <utility>

#include "ovcbridgesvcs/apps/word_app.h"
#include "ovcbridgesvcs/apps/word_app_calls.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {
namespace {

using namespace word;

constexpr std::wstring_view kPrepareFailed =
    L"Word Error:  Unable to prepare the document for the transfer:  ";
constexpr std::wstring_view kRestoreFailed =
    L"Word Error:  Unable to restore the document after the transfer:  ";

// Reads the flag `member` of `target` into *found, then turns it off.
HRESULT TurnOff(IDispatch* target, LateMember& member, std::optional<bool>* found) {
  bool value = false;
  HRESULT hr = GetFlag(target, member, &value);
  if (Failed(hr)) return hr;
  *found = value;
  return Put(target, member, Variant::Bool(false));
}

// Puts a flag that TurnOff found back.
HRESULT PutBackFlag(IDispatch* target, LateMember& member, const std::optional<bool>& found) {
  return found ? Put(target, member, Variant::Bool(*found)) : S_OK;
}

}  // namespace

HRESULT CWordApp::PreImport() {
  CMethodFrame frame(L"CWordApp::PreImport");
  return RunMethod(frame, [&] {
    HRESULT hr = EnsureRunning(false);
    if (Succeeded(hr)) hr = PreBoth();
    if (Failed(hr) || pre_import_macro().empty()) return hr;
    const HRESULT macro = RunNamedMacro(pre_import_macro());
    if (Succeeded(macro)) return macro;
    FirstFailure first;
    first.Keep(macro);
    first.Keep(PostBoth());
    return first.Status();
  });
}

HRESULT CWordApp::PostImport() {
  CMethodFrame frame(L"CWordApp::PostImport");
  return RunMethod(frame, [&] {
    FirstFailure first;
    first.Keep(PostBoth());
    if (!post_import_macro().empty()) first.Keep(RunNamedMacro(post_import_macro()));
    return first.Status();
  });
}

HRESULT CWordApp::PreExport() {
  CMethodFrame frame(L"CWordApp::PreExport");
  return RunMethod(frame, [&] {
    HRESULT hr = EnsureRunning(false);
    if (Succeeded(hr) && !pre_export_macro().empty()) hr = RunNamedMacro(pre_export_macro());
    return Succeeded(hr) ? PreBoth() : hr;
  });
}

HRESULT CWordApp::PostExport() {
  CMethodFrame frame(L"CWordApp::PostExport");
  return RunMethod(frame, [&] {
    bool was_saved = false;
    ReadSaved(&was_saved);
    FirstFailure first;
    first.Keep(PostBoth());
    if (was_saved && document_)
      first.Keep(Put(document_.get(), kDocumentSaved, Variant::Bool(true)));
    if (!post_export_macro().empty()) first.Keep(RunNamedMacro(post_export_macro()));
    return first.Status();
  });
}

// Turns off what slows Word down or refuses writes; on a failure puts back
// what it had turned off and returns the failure.
HRESULT CWordApp::PreBoth() {
  bool was_saved = false;
  ReadSaved(&was_saved);
  const HRESULT hr = TakeState();
  if (Failed(hr)) {
    FirstFailure first;
    first.Keep(hr);
    PutBack();
    return first.Status();
  }
  KeepClean(was_saved);
  return S_OK;
}

HRESULT CWordApp::TakeState() {
  IDispatch* application = application_.get();
  IDispatch* document = document_.get();
  int32_t protection = kNotProtected;
  if (Failed(GetLong(document, kDocumentProtectionType, &protection))) {
    return ReportFailedCall(std::wstring(kPrepareFailed) + path_);
  }
  bracket_protection_ = protection;
  if (protection != kNotProtected) {
    if (Failed(Call(document, kDocumentUnprotect, {Variant::Missing()}))) {
      return ReportFailedCall(LoadMessage(msg::kPasswordProtected) + path_);
    }
    taken_.protection = protection;
  }
  ComPtr<IDispatch> options;
  if (Failed(Put(application, kApplicationScreenUpdating, Variant::Bool(false))) ||
      Failed(TurnOff(document, kDocumentTrackRevisions, &taken_.track_revisions)) ||
      Failed(GetObject(application, kApplicationOptions, &options)) ||
      Failed(TurnOff(options.get(), kOptionsPagination, &taken_.pagination)) ||
      Failed(
          TurnOff(options.get(), kOptionsReadabilityStatistics, &taken_.readability_statistics))) {
    return ReportFailedCall(std::wstring(kPrepareFailed) + path_);
  }
  return S_OK;
}

// Puts back what the bracket turned off, only on the document it was turned
// off on: a document opened again meanwhile starts as it is in the file.
HRESULT CWordApp::PostBoth() {
  const ComPtr<IDispatch> bracketed = document_;
  bool was_saved = false;
  ReadSaved(&was_saved);
  const HRESULT hr = EnsureRunning(false);
  if (Failed(hr) || document_ != bracketed) taken_ = {};
  if (Failed(hr)) return hr;
  FirstFailure first;
  first.Keep(PutBack());
  KeepClean(was_saved);
  return first.Status();
}

// Every step runs; the first failure is returned.
HRESULT CWordApp::PutBack() {
  const TakenState taken = std::exchange(taken_, {});
  IDispatch* application = application_.get();
  IDispatch* document = document_.get();
  FirstFailure first;
  first.Keep(Put(application, kApplicationScreenUpdating, Variant::Bool(true)));
  first.Keep(PutBackFlag(document, kDocumentTrackRevisions, taken.track_revisions));
  ComPtr<IDispatch> options;
  if ((taken.pagination || taken.readability_statistics) &&
      Succeeded(first.Keep(GetObject(application, kApplicationOptions, &options)))) {
    first.Keep(PutBackFlag(options.get(), kOptionsPagination, taken.pagination));
    first.Keep(
        PutBackFlag(options.get(), kOptionsReadabilityStatistics, taken.readability_statistics));
  }
  if (taken.protection) {
    first.Keep(Call(document, kDocumentProtect,
                    {Variant::I4(*taken.protection), Variant::Bool(true), Variant::Missing()}));
  }
  if (Failed(first.Status())) return ReportFailedCall(std::wstring(kRestoreFailed) + path_);
  return S_OK;
}

// Marks a document that was clean before the bracket's own changes clean
// again.
void CWordApp::KeepClean(bool was_saved) {
  bool saved = true;
  if (was_saved && Succeeded(GetFlag(document_.get(), kDocumentSaved, &saved)) && !saved) {
    Put(document_.get(), kDocumentSaved, Variant::Bool(true));
  }
}

}  // namespace ovc::apps
