// The Excel adapter's locations: the workbook-level range names.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/apps/clone_location.h"
#include "ovcbridgesvcs/apps/excel_app.h"
#include "ovcbridgesvcs/apps/excel_members.h"
#include "ovcbridgesvcs/apps/excel_report.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {

using namespace excel;  // NOLINT: the member tables

namespace {

constexpr int32_t kA1Style = 1;
constexpr int32_t kNoMacro = 3;
constexpr int32_t kNamesAddArguments = 11;

// "=Sheet1!$C$10" from the external address "[Book.xlsx]Sheet1!$C$10", or
// "='My Sheet'!$C$10" from "'[My Book.xlsx]My Sheet'!$C$10". The book name
// may itself hold "]", the sheet name cannot: the split is at the last "]"
// before the last "!".
std::optional<std::wstring> RefersToOf(const std::wstring& address) {
  const size_t bang = address.rfind(L'!');
  if (bang == std::wstring::npos || bang == 0) return std::nullopt;
  const size_t bracket = address.rfind(L']', bang - 1);
  if (bracket == std::wstring::npos) return std::nullopt;
  return (address.starts_with(L'\'') ? L"='" : L"=") + address.substr(bracket + 1);
}

// "[Book.xlsx]Sheet1!$C$10:$C$14", the address of `range` with its book
// and sheet; nullopt when Excel does not give it.
std::optional<std::wstring> ExternalAddressOf(IDispatch* range) {
  Variant address;
  if (Failed(Get(range, excel::range.address, &address,
                 {Variant::Bool(true), Variant::Bool(true), Variant::I4(kA1Style),
                  Variant::Bool(true), Variant::Bool(false)})) ||
      address.vt() != VT_BSTR) {
    return std::nullopt;
  }
  return address.bstr();
}

bool IsNameCharacter(wchar_t c) {
  return IsLetter(c) || IsAsciiDigit(c) || c == L'_' || c == L'.' || c == L'\\' || c == L'?';
}

// Whether `formula` names `name` outside its texts, quoted sheet names and
// brackets, other than as a function or a sheet. "Sheet1!Rate" counts: it
// may mean the workbook's Rate.
bool FormulaUsesName(std::wstring_view formula, std::wstring_view name) {
  size_t i = 0;
  while (i < formula.size()) {
    const wchar_t c = formula[i];
    if (c == L'"' || c == L'\'' || c == L'[') {
      i = formula.find(c == L'[' ? L']' : c, i + 1);
      if (i == std::wstring_view::npos) return false;
      ++i;
    } else if (!IsNameCharacter(c)) {
      ++i;
    } else {
      size_t end = i;
      while (end < formula.size() && IsNameCharacter(formula[end])) ++end;
      const bool called_or_sheet =
          end < formula.size() && (formula[end] == L'(' || formula[end] == L'!');
      if (!called_or_sheet && EqualsNoCase(formula.substr(i, end - i), name)) return true;
      i = end;
    }
  }
  return false;
}

// Whether one of the formulas in `formulas` (a text or an array of values)
// uses `name`.
bool AnyFormulaUses(const Variant& formulas, std::wstring_view name) {
  const auto uses = [&](const Variant& value) {
    return value.vt() == VT_BSTR && value.bstr().starts_with(L'=') &&
           FormulaUsesName(value.bstr(), name);
  };
  if (!formulas.IsArray()) return uses(formulas);
  return std::ranges::any_of(formulas.array().data(), uses);
}

}  // namespace

HRESULT CExcelApp::RefreshLocationMap() {
  CMethodFrame frame(L"CExcelApp::RefreshLocationMap");
  return RunMethod(frame, [&] { return RefreshMap(); });
}

HRESULT CExcelApp::RefreshMap() {
  if (const HRESULT status = EnsureRunning(); Failed(status)) return status;
  locations_.clear();
  HRESULT status = S_OK;
  AnyItem(workbook_.get(), workbook.names, names.count, names.item, &status,
          [&](IDispatch* item, HRESULT* item_status) {
            Variant name;
            *item_status = Get(item, names.name, &name);
            if (Succeeded(*item_status) && name.vt() == VT_BSTR &&
                name.bstr().find(L'!') == std::wstring::npos) {
              locations_.emplace(ToLower(name.bstr()), name.bstr());
            }
            return false;
          });
  return status;
}

HRESULT CExcelApp::get_LocationList(Variant* list) {
  CMethodFrame frame(L"CExcelApp::get_LocationList");
  return RunMethod(frame, [&]() -> HRESULT {
    if (list == nullptr) return E_POINTER;
    if (locations_.empty() && Failed(RefreshMap())) return E_FAIL;
    SafeArray names = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(locations_.size()));
    size_t i = 0;
    for (const auto& [key, name] : locations_) names.data()[i++] = Variant(name);
    *list = Variant(std::move(names));
    return S_OK;
  });
}

HRESULT CExcelApp::get_LocationCount(int32_t* count) {
  if (count == nullptr) return E_POINTER;
  *count = static_cast<int32_t>(locations_.size());
  return S_OK;
}

HRESULT CExcelApp::GetRange(const std::wstring& location, bool report) {
  current_range_.Reset();
  current_location_.clear();
  if (Failed(EnsureRunning())) return E_FAIL;
  return FindRange(location, report);
}

HRESULT CExcelApp::FindRange(const std::wstring& location, bool report) {
  current_range_.Reset();
  current_location_.clear();
  ComPtr<IDispatch> range, active;
  if (Failed(GetObject(application_.get(), application.range, &range, {Variant(location)})) ||
      Failed(Call(application_.get(), application.go_to, {Variant(range.get())}))) {
    return report ? ReportExcel(msg::kRangeNotFound, location) : E_FAIL;
  }
  if (Failed(GetObject(application_.get(), application.active_workbook, &active)) ||
      !SameObject(active.get(), workbook_.get())) {
    return report ? ReportExcel(msg::kSharedRangeName, location) : E_FAIL;
  }
  current_location_ = location;
  current_range_ = std::move(range);
  return S_OK;
}

HRESULT CExcelApp::LocationExists(const std::wstring& location, VARIANT_BOOL* exists) {
  CMethodFrame frame(L"CExcelApp::LocationExists");
  return RunMethod(frame, [&]() -> HRESULT {
    if (exists == nullptr) return E_POINTER;
    *exists = VARIANT_FALSE;
    if (Failed(EnsureRunning())) return E_FAIL;
    if (Succeeded(FindRange(location, false))) *exists = VARIANT_TRUE;
    return S_OK;
  });
}

HRESULT CExcelApp::DisplayLocation(const std::wstring& location) {
  CMethodFrame frame(L"CExcelApp::DisplayLocation");
  return RunMethod(frame, [&]() -> HRESULT {
    if (const HRESULT status = GetRange(location); Failed(status)) return status;
    return MakeAppVisible();
  });
}

HRESULT CExcelApp::DeleteLocationName(const std::wstring& location) {
  CMethodFrame frame(L"CExcelApp::DeleteLocationName");
  return RunMethod(frame, [&]() -> HRESULT {
    if (Failed(EnsureRunning())) return E_FAIL;
    ComPtr<IDispatch> all, item;
    if (Failed(GetObject(workbook_.get(), workbook.names, &all)) ||
        Failed(GetObject(all.get(), names.item, &item, {Variant(location)}, CallKind::kMethod))) {
      return S_OK;
    }
    return Call(item.get(), names.remove);
  });
}

HRESULT CExcelApp::CloneLocation(const std::wstring& old_location, const std::wstring& new_location,
                                 VARIANT_BOOL remove_old) {
  CMethodFrame frame(L"CExcelApp::CloneLocation");
  return RunMethod(frame, [&]() -> HRESULT {
    if (const HRESULT status = GetRange(old_location); Failed(status)) return status;
    const ComPtr<IDispatch> source = current_range_;
    if (!EqualsNoCase(old_location, new_location)) {
      if (const HRESULT status = CheckCloneTarget(source.get(), new_location); Failed(status)) {
        return status;
      }
    }
    if (const HRESULT status = AddLocation(source.get(), new_location); Failed(status)) {
      return status;
    }
    if (!MustDeleteClonedLocation(old_location, new_location, remove_old)) return S_OK;
    return NameInUse(old_location) ? S_FALSE : DeleteLocationName(old_location);
  });
}

HRESULT CExcelApp::CheckCloneTarget(IDispatch* source, const std::wstring& name) {
  ComPtr<IDispatch> all, item;
  if (Failed(GetObject(workbook_.get(), workbook.names, &all)) ||
      Failed(GetObject(all.get(), names.item, &item, {Variant(name)}, CallKind::kMethod))) {
    SetErrorInfo(nullptr);
    return S_OK;
  }
  const std::optional<std::wstring> source_address = ExternalAddressOf(source);
  if (source_address && Succeeded(FindRange(name, false)) &&
      ExternalAddressOf(current_range_.get()) == source_address) {
    return S_OK;
  }
  SetErrorInfo(nullptr);
  return ReportExcelText(L"Excel Error:  The name " + name +
                         L" already names another place in the workbook");
}

bool CExcelApp::NameInUse(const std::wstring& name) {
  HRESULT status = S_OK;
  const bool used = SheetsUseName(name, &status) || NamesUseName(name, &status);
  SetErrorInfo(nullptr);
  return used || Failed(status);
}

bool CExcelApp::SheetsUseName(const std::wstring& name, HRESULT* status) {
  return AnyItem(workbook_.get(), workbook.worksheets, workbook.sheet_count, workbook.sheet_item,
                 status, [&](IDispatch* sheet, HRESULT* item_status) {
                   ComPtr<IDispatch> used;
                   Variant formulas;
                   *item_status = GetObject(sheet, range.used_range, &used);
                   if (Succeeded(*item_status)) {
                     *item_status = Get(used.get(), range.formula, &formulas);
                   }
                   return Succeeded(*item_status) && AnyFormulaUses(formulas, name);
                 });
}

bool CExcelApp::NamesUseName(const std::wstring& name, HRESULT* status) {
  return AnyItem(workbook_.get(), workbook.names, names.count, names.item, status,
                 [&](IDispatch* item, HRESULT* item_status) {
                   Variant other, refers_to;
                   *item_status = Get(item, names.name, &other);
                   if (Succeeded(*item_status))
                     *item_status = Get(item, names.refers_to, &refers_to);
                   return Succeeded(*item_status) &&
                          !(other.vt() == VT_BSTR && EqualsNoCase(other.bstr(), name)) &&
                          AnyFormulaUses(refers_to, name);
                 });
}

HRESULT CExcelApp::AddLocation(IDispatch* range, const std::wstring& name) {
  if (range == nullptr) return ReportExcelText(L"Range pointer is NULL, can not add location.");
  const std::optional<std::wstring> address = ExternalAddressOf(range);
  if (!address) return ReportExcelText(L"Unable to get range address for Name Add method");
  const std::optional<std::wstring> refers_to = RefersToOf(*address);
  if (!refers_to) {
    return ReportExcelText(
        L"Error, range address is not in the form [Import.xls]Sheet1!$C$10:$C$14");
  }
  ComPtr<IDispatch> all;
  if (const HRESULT status = GetObject(workbook_.get(), workbook.names, &all); Failed(status)) {
    return status;
  }
  std::vector<Variant> args(kNamesAddArguments, Variant::Missing());
  args[0] = Variant(name);
  args[1] = Variant(*refers_to);
  args[2] = Variant::Bool(true);
  args[3] = Variant::I4(kNoMacro);
  return Call(all.get(), names.add, std::move(args));
}

}  // namespace ovc::apps
