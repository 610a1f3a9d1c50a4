#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/apps/auto_wrap.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// The members of the spreadsheet application the Excel adapter calls, one
// DISPID cell per member of each kind of object, and the calls made
// through them with the adapter as the source of errors.
namespace ovc::apps::excel {

struct ApplicationMembers {
  LateMember calculate{L"Calculate"};
  LateMember visible{L"Visible"};
  LateMember screen_updating{L"ScreenUpdating"};
  LateMember window_state{L"WindowState"};
  LateMember calculation{L"Calculation"};
  LateMember range{L"Range"};
  LateMember go_to{L"Goto"};
  LateMember workbooks{L"Workbooks"};
  LateMember active_workbook{L"ActiveWorkbook"};
  LateMember run{L"Run"};
  LateMember quit{L"Quit"};
};

struct WorkbookMembers {
  LateMember open{L"Open"};  // of Workbooks
  LateMember saved{L"Saved"};
  LateMember read_only{L"ReadOnly"};
  LateMember save{L"Save"};
  LateMember names{L"Names"};
  LateMember worksheets{L"Worksheets"};
  LateMember sheet_count{L"Count"};  // of Worksheets
  LateMember sheet_item{L"Item"};    // of Worksheets
  LateMember properties{L"BuiltinDocumentProperties"};
  LateMember keep_change_history{L"KeepChangeHistory"};
  LateMember close{L"Close"};
  LateMember property_item{L"Item"};    // of DocumentProperties
  LateMember property_value{L"Value"};  // of DocumentProperty
};

struct NameMembers {
  LateMember count{L"Count"};  // of Names
  LateMember item{L"Item"};    // of Names
  LateMember add{L"Add"};      // of Names
  LateMember name{L"Name"};
  LateMember remove{L"Delete"};
  LateMember refers_to{L"RefersTo"};
};

struct RangeMembers {
  LateMember rows{L"Rows"};
  LateMember columns{L"Columns"};
  LateMember rows_count{L"Count"};
  LateMember columns_count{L"Count"};
  LateMember value{L"Value"};
  LateMember locked{L"Locked"};
  LateMember resize{L"Resize"};
  LateMember address{L"Address"};
  LateMember worksheet{L"Worksheet"};
  LateMember protect_contents{L"ProtectContents"};  // of Worksheet
  LateMember used_range{L"UsedRange"};              // of Worksheet
  LateMember formula{L"Formula"};
};

inline ApplicationMembers application;
inline WorkbookMembers workbook;
inline NameMembers names;
inline RangeMembers range;

inline HRESULT Get(IDispatch* target, LateMember& member, Variant* result,
                   std::vector<Variant> args = {}) {
  return AutoWrap(CallKind::kGet, result, target, member, std::move(args), CLSID_ExcelApp);
}

inline HRESULT Put(IDispatch* target, LateMember& member, Variant value) {
  std::vector<Variant> args;
  args.push_back(std::move(value));
  return AutoWrap(CallKind::kPut, nullptr, target, member, std::move(args), CLSID_ExcelApp);
}

inline HRESULT Call(IDispatch* target, LateMember& member, std::vector<Variant> args = {},
                    Variant* result = nullptr) {
  return AutoWrap(CallKind::kMethod, result, target, member, std::move(args), CLSID_ExcelApp);
}

// The object a get (or, with `kind` kMethod, a call) returns in *object;
// E_FAIL when it returns no object.
HRESULT GetObject(IDispatch* target, LateMember& member, ComPtr<IDispatch>* object,
                  std::vector<Variant> args = {}, CallKind kind = CallKind::kGet);

// Whether `test` holds for an item of the collection `owner`.`collection`,
// walked through its `count` and `item` members (Item(1) to Item(Count)).
// The walk stops at the first item that passes or at the first failure
// (*status, which `test` sets too; S_OK when none).
bool AnyItem(IDispatch* owner, LateMember& collection, LateMember& count, LateMember& item,
             HRESULT* status, const std::function<bool(IDispatch* item, HRESULT* status)>& test);

// Whether two references reach the same object (compared as IUnknown).
bool SameObject(IDispatch* a, IDispatch* b);

}  // namespace ovc::apps::excel
