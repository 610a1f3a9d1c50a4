#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"
#include "automation/error_info.h"
#include "automation/hresult.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/apps/auto_wrap.h"

// The calls the Word adapter makes into "Word.Application", all late bound
// through AutoWrap with the WordApp class as the source of what AutoWrap
// reports. Every function returns the call's status; a failed call leaves
// the engine's error object on the thread for the caller to report.
namespace ovc::apps::word {

// The members the adapter calls, named after their object and member, each
// with the DISPID cell of its kind of object.
inline LateMember kApplicationDocuments{L"Documents"};
inline LateMember kApplicationOptions{L"Options"};
inline LateMember kApplicationSelection{L"Selection"};
inline LateMember kApplicationVisible{L"Visible"};
inline LateMember kApplicationScreenUpdating{L"ScreenUpdating"};
inline LateMember kApplicationWindowState{L"WindowState"};
inline LateMember kApplicationActivate{L"Activate"};
inline LateMember kApplicationRun{L"Run"};
inline LateMember kApplicationQuit{L"Quit"};
inline LateMember kDocumentsOpen{L"Open"};
inline LateMember kDocumentSaved{L"Saved"};
inline LateMember kDocumentReadOnly{L"ReadOnly"};
inline LateMember kDocumentSave{L"Save"};
inline LateMember kDocumentBookmarks{L"Bookmarks"};
inline LateMember kDocumentProperties{L"BuiltinDocumentProperties"};
inline LateMember kDocumentProtectionType{L"ProtectionType"};
inline LateMember kDocumentUnprotect{L"Unprotect"};
inline LateMember kDocumentProtect{L"Protect"};
inline LateMember kDocumentTrackRevisions{L"TrackRevisions"};
inline LateMember kOptionsPagination{L"Pagination"};
inline LateMember kOptionsReadabilityStatistics{L"ShowReadabilityStatistics"};
inline LateMember kBookmarksCount{L"Count"};
inline LateMember kBookmarksItem{L"Item"};
inline LateMember kBookmarksAdd{L"Add"};
inline LateMember kBookmarkName{L"Name"};
inline LateMember kBookmarkRange{L"Range"};
inline LateMember kBookmarkDelete{L"Delete"};
inline LateMember kRangeSelect{L"Select"};
inline LateMember kRangeText{L"Text"};
inline LateMember kRangeFields{L"Fields"};
inline LateMember kRangeStart{L"Start"};
inline LateMember kRangeEnd{L"End"};
inline LateMember kRangeTables{L"Tables"};
inline LateMember kRangeCells{L"Cells"};
inline LateMember kFieldsCount{L"Count"};
inline LateMember kFieldsItem{L"Item"};
inline LateMember kFieldResult{L"Result"};
inline LateMember kSelectionFormFields{L"FormFields"};
inline LateMember kSelectionMoveRight{L"MoveRight"};
inline LateMember kSelectionMoveDown{L"MoveDown"};
inline LateMember kSelectionRange{L"Range"};
inline LateMember kFormFieldsCount{L"Count"};
inline LateMember kFormFieldsItem{L"Item"};
inline LateMember kFormFieldLocked{L"Locked"};
inline LateMember kFormFieldResult{L"Result"};
inline LateMember kTablesCount{L"Count"};
inline LateMember kTablesItem{L"Item"};
inline LateMember kTableCell{L"Cell"};
inline LateMember kTableRows{L"Rows"};
inline LateMember kTableColumns{L"Columns"};
inline LateMember kRowsCount{L"Count"};
inline LateMember kRowsAdd{L"Add"};
inline LateMember kColumnsCount{L"Count"};
inline LateMember kColumnsAdd{L"Add"};
inline LateMember kCellsCount{L"Count"};
inline LateMember kCellsItem{L"Item"};
inline LateMember kCellRowIndex{L"RowIndex"};
inline LateMember kCellColumnIndex{L"ColumnIndex"};
inline LateMember kCellRange{L"Range"};
inline LateMember kCellSelect{L"Select"};
inline LateMember kPropertiesItem{L"Item"};
inline LateMember kPropertyValue{L"Value"};

// The ProtectionType of a document that is not protected.
inline constexpr int32_t kNotProtected = -1;

// Property get with optional arguments; the value into *value.
HRESULT Get(IDispatch* target, LateMember& member, Variant* value, std::vector<Variant> args = {});
// Property put of `value`.
HRESULT Put(IDispatch* target, LateMember& member, Variant value);
// Method call; the result into *result when given.
HRESULT Call(IDispatch* target, LateMember& member, std::vector<Variant> args = {},
             Variant* result = nullptr);

// A get (or, for `as_method`, a method call) whose value must be an object:
// DISP_E_TYPEMISMATCH for anything else.
HRESULT GetObject(IDispatch* target, LateMember& member, ComPtr<IDispatch>* object,
                  std::vector<Variant> args = {}, bool as_method = false);
// Item(index) of a collection, called as a method.
HRESULT Item(IDispatch* collection, LateMember& item, Variant index, ComPtr<IDispatch>* object);
// A get converted to a number, a flag or a text (DISP_E_TYPEMISMATCH when
// the value does not convert).
HRESULT GetLong(IDispatch* target, LateMember& member, int32_t* value);
HRESULT GetFlag(IDispatch* target, LateMember& member, bool* value);
HRESULT GetText(IDispatch* target, LateMember& member, std::wstring* value);
// Document.Bookmarks.Add(name, range): defines the bookmark `name` over
// `range`, moving it when it exists.
HRESULT AddBookmark(IDispatch* document, const std::wstring& name, IDispatch* range);

// Reports `text` as the WordApp's error, followed by " (reason)" when
// `reason` is not empty; returns `code`.
HRESULT Report(std::wstring text, std::wstring_view reason = {}, HRESULT code = E_FAIL);
// Report with the reason of the failed call whose error object is on the
// thread.
inline HRESULT ReportFailedCall(std::wstring text) { return Report(std::move(text), TakeReason()); }

// The status of a series of steps that all run whatever fails: the first
// failure, with the error object the thread had right after it.
class FirstFailure {
 public:
  // Keeps `status` when it is the first failure; returns it.
  HRESULT Keep(HRESULT status);
  // The first failure, its error object put back on the thread; else S_OK.
  HRESULT Status() const;

 private:
  HRESULT status_ = S_OK;
  ComPtr<IErrorInfo> error_;
};

}  // namespace ovc::apps::word
