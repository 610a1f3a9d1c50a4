#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "automation/com_object.h"
#include "automation/com_ptr.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/apps/macro_names.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::apps {

// The Word adapter, "OVCBridgeSvcs.WordApp": one word-processing document
// driven through its own "Word.Application", reached only by ProgID and
// late-bound calls (AutoWrap). Locations are the document's bookmarks; a
// bookmark may hold a text form field (values go into its result) or cells
// of a table (vectors go into the cells). Word takes text only: every value
// is read and written as a string.
//
// Members that need Word start it and open the document first (Activate),
// also again after the document or Word went away. Failures follow the
// library's error convention (class WordApp): an error object whose
// description names the location or file, followed in parentheses by
// Word's own reason when Word gave one. A write that had to shorten a form
// field's result succeeds with S_FALSE and an error object saying so.
class CWordApp final : public ComObject<MacroNames, ISupportErrorInfo> {
 public:
  CWordApp() = default;

  // Starts Word (message 1209, 1210 or 1231 when it cannot) and opens Path
  // (1232, 1233), read-only when the App's Linked flag is VARIANT_TRUE;
  // with `visible` also shows Word. A document or Word found gone is
  // dropped and opened again.
  HRESULT Activate(VARIANT_BOOL visible) override;
  // Quits Word without saving (unless `save` and the document changed: Word
  // is then shown and Quit leaves the question to Word) and drops it.
  HRESULT TerminateApp(VARIANT_BOOL save) override;
  // True without a document; a document found gone is dropped with
  // message 1237 and E_FAIL.
  HRESULT get_Saved(VARIANT_BOOL* saved) override;
  // Saves the document; 1241 for a read-only one. Nothing without one.
  HRESULT Save() override;
  HRESULT get_ReadOnly(VARIANT_BOOL* read_only) override;
  // Runs a macro the embedding program registered with Word; 1234 when it
  // fails.
  HRESULT RunMacro(const std::wstring& name) override;

  // A plain field, set by the App; setting it opens nothing.
  HRESULT get_Path(std::wstring* path) override;
  HRESULT put_Path(const std::wstring& path) override;
  // Keeps `linked` (the App's Linked flag, which outlives the adapter) and
  // reads it when opening.
  HRESULT putLinkedPtr(VARIANT_BOOL* linked) override;
  HRESULT get_AppFileFilter(std::wstring* filter) override;
  // Always true: callers convert values to text before writing.
  HRESULT get_StringValuesOnly(VARIANT_BOOL* strings_only) override;

  // The document's Comments, Last Author and Last Save Time properties.
  HRESULT get_Description(std::wstring* description) override;
  HRESULT put_Description(const std::wstring& description) override;
  HRESULT get_ModifiedBy(std::wstring* author) override;
  HRESULT get_ModifiedTimeStamp(Variant* time) override;

  // The bookmark names (hidden ones left out), keyed without regard to
  // case: LocationList reads them when it has none yet, RefreshLocationMap
  // always, LocationCount never.
  HRESULT get_LocationList(Variant* names) override;
  HRESULT RefreshLocationMap() override;
  HRESULT get_LocationCount(int32_t* count) override;
  // Whether the bookmark exists (success either way); a found one becomes
  // the place the next ...AtSelection write goes to.
  HRESULT LocationExists(const std::wstring& location, VARIANT_BOOL* exists) override;
  // Shows Word and selects the bookmark's range.
  HRESULT DisplayLocation(const std::wstring& location) override;
  // Removes the bookmark (its text stays); success when there is none.
  HRESULT DeleteLocationName(const std::wstring& location) override;
  // Defines `new_location` over the range of `old_location`, then removes
  // the old one when `remove_old`.
  HRESULT CloneLocation(const std::wstring& old_location, const std::wstring& new_location,
                        VARIANT_BOOL remove_old) override;

  // The text at a bookmark (1235 when there is none), read by the rules of
  // word_app_text.h; for a bookmark over two or more cells of one row or
  // column of a table, an array of the cells' texts (1275 for a block,
  // 1273 for several tables). A failed read gives 1249 in a protected
  // document, else 1238.
  HRESULT GetValue(const std::wstring& location, Variant* value) override;
  // Resolves the bookmark, then writes as SetValueAtSelection /
  // SetVectorValueAtSelection.
  HRESULT SetValue(const std::wstring& location, const Variant& value) override;
  HRESULT SetVectorValue(const std::wstring& location, const Variant& values,
                         VARIANT_BOOL column) override;
  // Writes a text (VT_BSTR; VT_EMPTY as "") at the bookmark resolved last:
  // into its one form field's result (cut to 255 characters, see the
  // class), else as its text, the bookmark then covering the new text. A
  // bookmark holding several form fields or a table is refused with
  // nothing written.
  HRESULT SetValueAtSelection(const Variant& value) override;
  // Writes a one-dimensional array of texts into the table cells from the
  // first cell of the bookmark resolved last, along its row or (`column`)
  // down its column, adding columns or rows the table lacks; a cell holding
  // one form field gets the text as the field's result. The bookmark then
  // covers exactly the written cells; cells it covered before and no longer
  // does are emptied.
  HRESULT SetVectorValueAtSelection(const Variant& values, VARIANT_BOOL column) override;

  // Transfer brackets: Pre... turns off screen updating, revision tracking,
  // background pagination and readability statistics and unprotects the
  // document (1242 when that needs a password); Post... puts back exactly
  // what Pre... changed. A failing Pre... puts back what it had changed
  // before returning; Post... always runs every step and returns the first
  // failure. The macros run around the brackets: PreImport after them,
  // PreExport before, the Post... macros after.
  HRESULT PreImport() override;
  HRESULT PostImport() override;
  HRESULT PreExport() override;
  HRESULT PostExport() override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == IExternalApp::kIid ? S_OK : S_FALSE;
  }

 private:
  // What PreBoth turned off, each with the value found, for PostBoth to put
  // back; empty for what it did not change.
  struct TakenState {
    std::optional<int32_t> protection;
    std::optional<bool> track_revisions;
    std::optional<bool> pagination;
    std::optional<bool> readability_statistics;
  };

  // Starting, opening and closing (word_app.cpp).
  HRESULT EnsureRunning(bool visible);
  HRESULT StartApp();
  HRESULT OpenFile();
  HRESULT MakeAppVisible();
  HRESULT ReadSaved(bool* saved);
  HRESULT Terminate(bool save);
  HRESULT RunNamedMacro(const std::wstring& name);
  HRESULT DocumentProperty(const wchar_t* name, ComPtr<IDispatch>* property);
  HRESULT ReadDocumentProperty(const wchar_t* name, Variant* value);
  // Locations (word_app.cpp). GetRange makes the bookmark's range the
  // current one.
  HRESULT ListBookmarks();
  HRESULT GetRange(const std::wstring& location, ComPtr<IDispatch>* range);
  // Fails, reported, when the bookmark `name` exists already and does not
  // mark the range `source`: adding it would move it.
  HRESULT CheckCloneTarget(IDispatch* source, const std::wstring& name);
  HRESULT DeleteBookmark(const std::wstring& location);
  // Values (word_app_values.cpp).
  HRESULT ReadValue(const std::wstring& location, Variant* value);
  HRESULT ReportReadFailure(const std::wstring& location);
  HRESULT WriteText(const Variant& value);
  HRESULT ReportWriteFailure(bool locked);
  HRESULT WriteVector(const Variant& values, bool down);
  // Brackets (word_app_brackets.cpp).
  HRESULT PreBoth();
  HRESULT TakeState();
  HRESULT PostBoth();
  HRESULT PutBack();
  void KeepClean(bool was_saved);

  std::wstring current_location_;
  std::wstring path_;
  ComPtr<IDispatch> application_;
  ComPtr<IDispatch> document_;
  ComPtr<IDispatch> current_range_;
  TakenState taken_;
  // The protection type found by the last PreBoth (-1: none).
  std::optional<int32_t> bracket_protection_;
  VARIANT_BOOL* linked_ = nullptr;
  std::map<std::wstring, std::wstring> location_map_;
  ModuleLock module_lock_;
};

}  // namespace ovc::apps
