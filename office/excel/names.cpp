#include "office/excel/names.h"

#include <optional>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"

namespace ovc::excel {
namespace {

bool Given(const Variant& argument) { return !argument.IsMissing(); }

// The optional argument converted to `vt`; false when it cannot be.
bool Optional(const Variant& argument, VARTYPE vt, std::optional<Variant>* value) {
  if (!Given(argument)) return true;
  Variant converted;
  if (Failed(VariantChangeType(&converted, argument.Dereferenced(), 0, vt))) return false;
  *value = std::move(converted);
  return true;
}

}  // namespace

Names::Names(ComPtr<Workbook> workbook) : workbook_(std::move(workbook)) {}

HRESULT Names::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(workbook_->document()->names().Count());
  return S_OK;
}

HRESULT Names::Item(const Variant& index, IDispatch** name) {
  const DefinedNames& names = workbook_->document()->names();
  const Variant value = index.Dereferenced();
  const std::string& file = workbook_->file_name();
  NameId id = 0;
  if (value.vt() == VT_BSTR) {
    const std::string text = ToUtf8(value.bstr());
    std::string reason;
    HRESULT code = S_OK;
    if (!names.Find(text, workbook_->active_sheet(), &id, &reason, &code)) {
      return Fail(code, excel::Describe(file, "name '" + text + "'", reason));
    }
  } else {
    Variant position;
    if (Failed(VariantChangeType(&position, value, 0, VT_I4))) {
      return Fail(DISP_E_TYPEMISMATCH,
                  excel::Describe(file, "Names", "the index is neither a position nor a name"));
    }
    DefinedName found;
    if (position.i4() < 1 || !names.At(static_cast<size_t>(position.i4() - 1), &found)) {
      return Fail(DISP_E_BADINDEX,
                  excel::Describe(file, "Names",
                                  "no name at position " + std::to_string(position.i4()) + " of " +
                                      std::to_string(names.Count())));
    }
    id = found.id;
  }
  *name = MakeObject<Name>(workbook_, id).Detach();
  return S_OK;
}

HRESULT Names::Add(const std::wstring& name, const Variant& refers_to, const Variant& visible,
                   const Variant& macro_type, const Variant& shortcut_key, const Variant& category,
                   const Variant& name_local, const Variant& refers_to_local,
                   const Variant& category_local, const Variant& refers_to_r1c1,
                   const Variant& refers_to_r1c1_local, IDispatch** added) {
  const std::string text = ToUtf8(name);
  const std::string where = "name '" + text + "'";
  const std::string& file = workbook_->file_name();
  for (const Variant* refused : {&shortcut_key, &category, &name_local, &refers_to_local,
                                 &category_local, &refers_to_r1c1, &refers_to_r1c1_local}) {
    if (Given(*refused)) {
      return Fail(
          E_NOTIMPL,
          excel::Describe(file, where, "only Name, RefersTo, Visible and MacroType are supported"));
    }
  }
  std::optional<Variant> formula, is_visible, macro;
  if (!Optional(refers_to, VT_BSTR, &formula) || !formula ||
      !Optional(visible, VT_BOOL, &is_visible) || !Optional(macro_type, VT_I4, &macro)) {
    return Fail(DISP_E_TYPEMISMATCH,
                excel::Describe(file, where, "an argument has the wrong type"));
  }
  NameOptions options;
  if (is_visible) options.visible = is_visible->boolVal() != VARIANT_FALSE;
  if (macro) options.macro_type = macro->i4();
  options.active_sheet = workbook_->active_sheet();
  NameId id = 0;
  bool changed = false;
  std::string reason;
  HRESULT code = S_OK;
  if (!workbook_->document()->names().Add(text, ToUtf8(formula->bstr()), options, &id, &changed,
                                          &reason, &code)) {
    return Fail(code, excel::Describe(file, where, reason));
  }
  if (changed) workbook_->NoteNameChanged(text);
  *added = MakeObject<Name>(workbook_, id).Detach();
  return S_OK;
}

Name::Name(ComPtr<Workbook> workbook, NameId id) : workbook_(std::move(workbook)), id_(id) {}

HRESULT Name::Lookup(DefinedName* name) {
  if (workbook_->document()->names().Get(id_, name)) return S_OK;
  return Fail(DISP_E_BADINDEX, excel::Describe(workbook_->file_name(), "Name", "has been deleted"));
}

HRESULT Name::get_Name(std::wstring* name) {
  DefinedName defined;
  if (HRESULT hr = Lookup(&defined); Failed(hr)) return hr;
  *name = FromUtf8(defined.display_name);
  return S_OK;
}

HRESULT Name::get_RefersTo(std::wstring* refers_to) {
  DefinedName defined;
  if (HRESULT hr = Lookup(&defined); Failed(hr)) return hr;
  *refers_to = L"=" + FromUtf8(defined.formula);
  return S_OK;
}

HRESULT Name::Delete() {
  DefinedName defined;
  if (HRESULT hr = Lookup(&defined); Failed(hr)) return hr;
  std::string reason;
  HRESULT code = S_OK;
  if (!workbook_->document()->names().Delete(id_, &reason, &code)) {
    return Fail(code, excel::Describe(workbook_->file_name(), "name '" + defined.display_name + "'",
                                      reason));
  }
  workbook_->NoteNameChanged(defined.name);
  return S_OK;
}

}  // namespace ovc::excel
