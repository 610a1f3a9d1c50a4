#include "ovcbridgesvcs/apps/word_app.h"

#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/apps/clone_location.h"
#include "ovcbridgesvcs/apps/word_app_calls.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {
namespace {

using namespace word;

constexpr std::wstring_view kWordProgId = L"Word.Application";
constexpr std::wstring_view kFileFilter =
    L"MS Word Files (*.docx)|*.docx|MS Word 97-2003 Files (*.doc)|*.doc||";
constexpr int32_t kNormalWindow = 0;

HRESULT ReportMessage(uint32_t message) {
  return ReportError(CLSID_WordApp, message, IExternalApp::kIid, E_FAIL);
}

HRESULT GiveText(std::wstring* out, const Variant& value) {
  if (value.vt() == VT_BSTR) return Give(out, value.bstr());
  return Give(out, std::wstring());
}

}  // namespace

HRESULT CWordApp::Activate(VARIANT_BOOL visible) {
  CMethodFrame frame(L"CWordApp::Activate");
  return RunMethod(frame, [&] { return EnsureRunning(visible != VARIANT_FALSE); });
}

HRESULT CWordApp::EnsureRunning(bool visible) {
  bool saved = true;
  if (document_) ReadSaved(&saved);
  Variant shown;
  if (application_ && Failed(Get(application_.get(), kApplicationVisible, &shown))) {
    document_.Reset();
    application_.Reset();
  }
  HRESULT hr = S_OK;
  if (!application_ && Failed(hr = StartApp())) return hr;
  if (!document_ && Failed(hr = OpenFile())) return hr;
  SetErrorInfo(nullptr);
  return visible ? MakeAppVisible() : S_OK;
}

HRESULT CWordApp::StartApp() {
  document_.Reset();
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(kWordProgId, &clsid);
  if (hr == REGDB_E_WRITEREGDB) return ReportMessage(msg::kRegistryCorrupt);
  if (hr == CO_E_CLASSSTRING) return ReportMessage(msg::kWordProgIdInvalid);
  if (Succeeded(hr)) {
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IDispatch::kIid,
                          application_.ReceiveVoid());
  }
  return Failed(hr) ? ReportFailedCall(LoadMessage(msg::kWordNotRegistered)) : S_OK;
}

HRESULT CWordApp::OpenFile() {
  ComPtr<IDispatch> documents;
  if (Failed(GetObject(application_.get(), kApplicationDocuments, &documents))) {
    return ReportFailedCall(LoadMessage(msg::kNoDocuments));
  }
  const bool read_only = linked_ != nullptr && *linked_ == VARIANT_TRUE;
  std::vector<Variant> args = {Variant(path_), Variant::Missing(), Variant::Bool(read_only),
                               Variant::Bool(false)};
  args.resize(10, Variant::Missing());
  if (Failed(GetObject(documents.get(), kDocumentsOpen, &document_, std::move(args), true))) {
    return ReportFailedCall(LoadMessage(msg::kWordOpenFailed) + path_);
  }
  return S_OK;
}

HRESULT CWordApp::MakeAppVisible() {
  if (!application_) return S_OK;
  IDispatch* application = application_.get();
  HRESULT hr = S_OK;
  if (Failed(hr = Put(application, kApplicationVisible, Variant::Bool(true))) ||
      Failed(hr = Put(application, kApplicationScreenUpdating, Variant::Bool(true))) ||
      Failed(hr = Put(application, kApplicationWindowState, Variant::I4(kNormalWindow)))) {
    return hr;
  }
  return Call(application, kApplicationActivate);
}

HRESULT CWordApp::ReadSaved(bool* saved) {
  *saved = true;
  if (!document_ || Succeeded(GetFlag(document_.get(), kDocumentSaved, saved))) return S_OK;
  Terminate(false);
  return ReportMessage(msg::kDocumentClosed);
}

HRESULT CWordApp::get_Saved(VARIANT_BOOL* saved) {
  CMethodFrame frame(L"CWordApp::get_Saved");
  return RunMethod(frame, [&] {
    bool value = true;
    const HRESULT hr = ReadSaved(&value);
    GiveFlag(saved, value);
    return hr;
  });
}

HRESULT CWordApp::TerminateApp(VARIANT_BOOL save) {
  CMethodFrame frame(L"CWordApp::TerminateApp");
  return RunMethod(frame, [&] { return Terminate(save != VARIANT_FALSE); });
}

// Every step runs, so that Word is quit and dropped also when the document
// has gone.
HRESULT CWordApp::Terminate(bool save) {
  if (!application_) {
    document_.Reset();
    return S_OK;
  }
  FirstFailure first;
  first.Keep(Put(application_.get(), kApplicationScreenUpdating, Variant::Bool(true)));
  if (document_) {
    bool saved = true;
    first.Keep(GetFlag(document_.get(), kDocumentSaved, &saved));
    if (!save || saved) {
      first.Keep(Put(document_.get(), kDocumentSaved, Variant::Bool(true)));
    } else {
      first.Keep(MakeAppVisible());
    }
  }
  first.Keep(Call(application_.get(), kApplicationQuit));
  current_range_.Reset();
  document_.Reset();
  application_.Reset();
  return first.Status();
}

HRESULT CWordApp::Save() {
  CMethodFrame frame(L"CWordApp::Save");
  return RunMethod(frame, [&] {
    if (!application_ || !document_) return S_OK;
    bool read_only = false;
    if (Failed(GetFlag(document_.get(), kDocumentReadOnly, &read_only)) ||
        (!read_only && Failed(Call(document_.get(), kDocumentSave)))) {
      return ReportFailedCall(LoadMessage(msg::kSaveFailed) + path_);
    }
    return read_only ? Report(LoadMessage(msg::kReadOnlySave) + path_) : S_OK;
  });
}

HRESULT CWordApp::get_ReadOnly(VARIANT_BOOL* read_only) {
  CMethodFrame frame(L"CWordApp::get_ReadOnly");
  return RunMethod(frame, [&] {
    bool value = false;
    const HRESULT hr = GetFlag(document_.get(), kDocumentReadOnly, &value);
    return Succeeded(hr) ? GiveFlag(read_only, value) : hr;
  });
}

HRESULT CWordApp::RunMacro(const std::wstring& name) {
  CMethodFrame frame(L"CWordApp::RunMacro");
  return RunMethod(frame, [&] { return RunNamedMacro(name); });
}

HRESULT CWordApp::RunNamedMacro(const std::wstring& name) {
  HRESULT hr = EnsureRunning(false);
  if (Failed(hr)) return hr;
  const UserCodeScope macro_code;
  if (Failed(Call(application_.get(), kApplicationRun, {Variant(name)}))) {
    return ReportFailedCall(LoadMessage(msg::kWordMacroFailed) + name);
  }
  return S_OK;
}

HRESULT CWordApp::get_Path(std::wstring* path) { return Give(path, path_); }
HRESULT CWordApp::put_Path(const std::wstring& path) { return Give(&path_, path); }
HRESULT CWordApp::putLinkedPtr(VARIANT_BOOL* linked) {
  linked_ = linked;
  return S_OK;
}
HRESULT CWordApp::get_AppFileFilter(std::wstring* filter) {
  return Give(filter, std::wstring(kFileFilter));
}
HRESULT CWordApp::get_StringValuesOnly(VARIANT_BOOL* strings_only) {
  return GiveFlag(strings_only, true);
}

HRESULT CWordApp::DocumentProperty(const wchar_t* name, ComPtr<IDispatch>* property) {
  ComPtr<IDispatch> properties;
  HRESULT hr = EnsureRunning(false);
  if (Succeeded(hr)) hr = GetObject(document_.get(), kDocumentProperties, &properties);
  if (Succeeded(hr)) hr = GetObject(properties.get(), kPropertiesItem, property, {Variant(name)});
  return hr;
}

HRESULT CWordApp::ReadDocumentProperty(const wchar_t* name, Variant* value) {
  ComPtr<IDispatch> property;
  const HRESULT hr = DocumentProperty(name, &property);
  return Succeeded(hr) ? Get(property.get(), kPropertyValue, value) : hr;
}

HRESULT CWordApp::get_Description(std::wstring* description) {
  CMethodFrame frame(L"CWordApp::get_Description");
  return RunMethod(frame, [&] {
    Variant value;
    const HRESULT hr = ReadDocumentProperty(L"Comments", &value);
    return Succeeded(hr) ? GiveText(description, value) : hr;
  });
}

HRESULT CWordApp::put_Description(const std::wstring& description) {
  CMethodFrame frame(L"CWordApp::put_Description");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> property;
    const HRESULT hr = DocumentProperty(L"Comments", &property);
    return Succeeded(hr) ? Put(property.get(), kPropertyValue, Variant(description)) : hr;
  });
}

HRESULT CWordApp::get_ModifiedBy(std::wstring* author) {
  CMethodFrame frame(L"CWordApp::get_ModifiedBy");
  return RunMethod(frame, [&] {
    Variant value;
    const HRESULT hr = ReadDocumentProperty(L"Last Author", &value);
    return Succeeded(hr) ? GiveText(author, value) : hr;
  });
}

HRESULT CWordApp::get_ModifiedTimeStamp(Variant* time) {
  CMethodFrame frame(L"CWordApp::get_ModifiedTimeStamp");
  return RunMethod(frame, [&] { return ReadDocumentProperty(L"Last Save Time", time); });
}

HRESULT CWordApp::get_LocationList(Variant* names) {
  CMethodFrame frame(L"CWordApp::get_LocationList");
  return RunMethod(frame, [&] {
    if (location_map_.empty() && Failed(ListBookmarks())) return E_FAIL;
    SafeArray list = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(location_map_.size()));
    size_t index = 0;
    for (const auto& [key, name] : location_map_) list.data()[index++] = Variant(name);
    return Give(names, Variant(std::move(list)));
  });
}

HRESULT CWordApp::RefreshLocationMap() {
  CMethodFrame frame(L"CWordApp::RefreshLocationMap");
  return RunMethod(frame, [&] { return ListBookmarks(); });
}

HRESULT CWordApp::ListBookmarks() {
  HRESULT hr = EnsureRunning(false);
  if (Failed(hr)) return hr;
  location_map_.clear();
  ComPtr<IDispatch> bookmarks;
  int32_t count = 0;
  if (Failed(GetObject(document_.get(), kDocumentBookmarks, &bookmarks)) ||
      Failed(GetLong(bookmarks.get(), kBookmarksCount, &count))) {
    return ReportFailedCall(LoadMessage(msg::kNoBookmarks));
  }
  for (int32_t index = 1; index <= count; ++index) {
    ComPtr<IDispatch> bookmark;
    std::wstring name;
    if (Failed(Item(bookmarks.get(), kBookmarksItem, Variant::I4(index), &bookmark)) ||
        Failed(GetText(bookmark.get(), kBookmarkName, &name))) {
      return ReportFailedCall(LoadMessage(msg::kNoBookmarks));
    }
    location_map_.emplace(ToLower(name), name);
  }
  return S_OK;
}

HRESULT CWordApp::get_LocationCount(int32_t* count) {
  return Give(count, static_cast<int32_t>(location_map_.size()));
}

HRESULT CWordApp::GetRange(const std::wstring& location, ComPtr<IDispatch>* range) {
  current_range_.Reset();
  range->Reset();
  current_location_.clear();
  if (location.empty()) return Report(L"Error:  Cannot GoTo an Empty Bookmark");
  HRESULT hr = EnsureRunning(false);
  if (Failed(hr)) return hr;
  ComPtr<IDispatch> bookmarks;
  ComPtr<IDispatch> bookmark;
  if (Failed(GetObject(document_.get(), kDocumentBookmarks, &bookmarks)) ||
      Failed(Item(bookmarks.get(), kBookmarksItem, Variant(location), &bookmark)) ||
      Failed(GetObject(bookmark.get(), kBookmarkRange, range))) {
    return ReportFailedCall(LoadMessage(msg::kBookmarkNotFound) + location);
  }
  current_range_ = *range;
  current_location_ = location;
  return S_OK;
}

HRESULT CWordApp::LocationExists(const std::wstring& location, VARIANT_BOOL* exists) {
  CMethodFrame frame(L"CWordApp::LocationExists");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> range;
    return GiveFlag(exists, Succeeded(GetRange(location, &range)));
  });
}

HRESULT CWordApp::DisplayLocation(const std::wstring& location) {
  CMethodFrame frame(L"CWordApp::DisplayLocation");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> range;
    HRESULT hr = EnsureRunning(true);
    if (Succeeded(hr)) hr = GetRange(location, &range);
    return Succeeded(hr) ? Call(range.get(), kRangeSelect) : hr;
  });
}

HRESULT CWordApp::DeleteLocationName(const std::wstring& location) {
  CMethodFrame frame(L"CWordApp::DeleteLocationName");
  return RunMethod(frame, [&] { return DeleteBookmark(location); });
}

HRESULT CWordApp::DeleteBookmark(const std::wstring& location) {
  HRESULT hr = EnsureRunning(false);
  if (Failed(hr)) return hr;
  ComPtr<IDispatch> bookmarks;
  ComPtr<IDispatch> bookmark;
  if (Succeeded(hr = GetObject(document_.get(), kDocumentBookmarks, &bookmarks))) {
    hr = Item(bookmarks.get(), kBookmarksItem, Variant(location), &bookmark);
  }
  if (hr == DISP_E_BADINDEX) {
    SetErrorInfo(nullptr);
    return S_OK;
  }
  if (Failed(hr) || Failed(Call(bookmark.get(), kBookmarkDelete))) {
    return ReportFailedCall(L"Word Error:  Unable to delete the bookmark:  " + location);
  }
  return S_OK;
}

HRESULT CWordApp::CheckCloneTarget(IDispatch* source, const std::wstring& name) {
  ComPtr<IDispatch> bookmarks, bookmark, target;
  if (Failed(GetObject(document_.get(), kDocumentBookmarks, &bookmarks)) ||
      Failed(Item(bookmarks.get(), kBookmarksItem, Variant(name), &bookmark))) {
    SetErrorInfo(nullptr);
    return S_OK;
  }
  int32_t source_start = 0, source_end = 0, target_start = -1, target_end = -1;
  if (Succeeded(GetObject(bookmark.get(), kBookmarkRange, &target)) &&
      Succeeded(GetLong(source, kRangeStart, &source_start)) &&
      Succeeded(GetLong(source, kRangeEnd, &source_end)) &&
      Succeeded(GetLong(target.get(), kRangeStart, &target_start)) &&
      Succeeded(GetLong(target.get(), kRangeEnd, &target_end)) && source_start == target_start &&
      source_end == target_end) {
    return S_OK;
  }
  SetErrorInfo(nullptr);
  return Report(L"Word Error:  The bookmark " + name +
                L" already marks another place in the document");
}

HRESULT CWordApp::CloneLocation(const std::wstring& old_location, const std::wstring& new_location,
                                VARIANT_BOOL remove_old) {
  CMethodFrame frame(L"CWordApp::CloneLocation");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> range;
    HRESULT hr = GetRange(old_location, &range);
    if (Succeeded(hr) && !EqualsNoCase(old_location, new_location)) {
      hr = CheckCloneTarget(range.get(), new_location);
    }
    if (Succeeded(hr) && Failed(hr = AddBookmark(document_.get(), new_location, range.get()))) {
      return ReportFailedCall(L"Word Error:  Unable to define the bookmark:  " + new_location);
    }
    if (Failed(hr) || !MustDeleteClonedLocation(old_location, new_location, remove_old)) return hr;
    return DeleteBookmark(old_location);
  });
}

}  // namespace ovc::apps
