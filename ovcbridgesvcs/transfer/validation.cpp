#include "ovcbridgesvcs/transfer/validation.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/resources/message_ids.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kHeading = L"Pre-Transfer Validation Errors:\r\n\r\n";

bool OneOf(OVCBRIDGETRANSFEROP op, std::initializer_list<OVCBRIDGETRANSFEROP> ops) {
  return std::find(ops.begin(), ops.end(), op) != ops.end();
}

bool UsesFiles(OVCBRIDGETRANSFEROP op) {
  return OneOf(op, {ovReadFromApp, ovWriteToApp, ovExportOrvanToApp, ovImportOrvanFromApp,
                    ovAutorun, ovAutorunPause});
}

bool WritesFiles(OVCBRIDGETRANSFEROP op) {
  return OneOf(op, {ovWriteToApp, ovExportOrvanToApp, ovAutorun, ovAutorunPause});
}

bool ReadsFiles(OVCBRIDGETRANSFEROP op) {
  return OneOf(op, {ovReadFromApp, ovImportOrvanFromApp, ovAutorun, ovAutorunPause});
}

bool UsesHost(OVCBRIDGETRANSFEROP op) {
  return OneOf(op, {ovReadFromOrvan, ovWriteToOrvan, ovExportOrvanToApp, ovImportOrvanFromApp,
                    ovAutorun, ovAutorunPause});
}

// The operations that run an iterative LinkSet (one at most).
bool TakesIterative(OVCBRIDGETRANSFEROP op) {
  return OneOf(op, {ovImportOrvanFromApp, ovAutorun, ovAutorunPause});
}

bool AnyFileEnabled(CMethodFrame& frame, IAppCollection* apps) {
  if (apps == nullptr) return false;
  const int32_t count = Got(frame, apps, &IAppCollection::get_Count);
  for (int32_t index = 0; index < count; ++index) {
    Variant item;
    CheckAndRaise(frame, apps->get_Item(Variant::I4(index), &item));
    const ComPtr<IApp> app = ComPtr<IDispatch>(item.dispatch()).As<IApp>();
    if (app && GotFlag(frame, app.get(), &IApp::get_Enabled)) return true;
  }
  return false;
}

// The lower-cased names of every location of every file, disabled ones
// included.
std::unordered_set<std::wstring> LocationKeys(CMethodFrame& frame, IAppCollection* apps) {
  std::unordered_set<std::wstring> keys;
  if (apps == nullptr) return keys;
  Variant list;
  CheckAndRaise(frame, apps->get_LocationList(VARIANT_FALSE, &list));
  if (!list.IsArray()) return keys;
  for (const Variant& name : list.array().data()) {
    if (name.vt() == VT_BSTR) keys.insert(ToLower(name.bstr()));
  }
  return keys;
}

class Validator {
 public:
  Validator(CMethodFrame& frame, IAppCollection* apps, OVCBRIDGETRANSFEROP op)
      : frame_(frame), op_(op), locations_(LocationKeys(frame, apps)) {}

  void CheckFiles(IAppCollection* apps) {
    if (!UsesFiles(op_) || AnyFileEnabled(frame_, apps)) return;
    AddBridgeLine(msg::kNoEnabledFile);
    result_.level = ovError;
  }

  void CheckLinkSet(ILinkSet* link_set, int32_t position) {
    if (!GotFlag(frame_, link_set, &ILinkSet::get_Enabled)) return;
    const int32_t count = Got(frame_, link_set, &ILinkSet::get_Count);
    if (count > 0) {
      any_links_ = true;
      if (GotFlag(frame_, link_set, &ILinkSet::get_Iterative)) ++iterative_;
    }
    const std::wstring prefix = LinkSetPrefix(link_set, position);
    for (int32_t index = 0; index < count; ++index) {
      const ComPtr<ILink> link = LinkAt(frame_, link_set, index);
      if (GotFlag(frame_, link.get(), &ILink::get_Enabled)) {
        CheckLink(link.get(), prefix + L", Link " + std::to_wstring(index + 1) + L": ");
      }
    }
    if (UsesHost(op_)) CheckInHost(link_set);
  }

  void CheckTotals() {
    if (!any_links_) AddBridgeLine(msg::kNoLinks);
    if (iterative_ == 0 || (TakesIterative(op_) && iterative_ == 1)) return;
    AddBridgeLine(TakesIterative(op_) ? msg::kOneIterativeOnly : msg::kIterativeNotTaken);
    result_.level = ovError;
  }

  Validation Result() && {
    if (!text_.empty()) result_.report = std::wstring(kHeading) + text_;
    return std::move(result_);
  }

 private:
  // "    Linkset <position>[ - <name>]"
  std::wstring LinkSetPrefix(ILinkSet* link_set, int32_t position) {
    std::wstring prefix = L"    Linkset " + std::to_wstring(position);
    const std::wstring name = Got(frame_, link_set, &ILinkSet::get_Name);
    if (!name.empty()) prefix += L" - " + name;
    return prefix;
  }

  void CheckLink(ILink* link, const std::wstring& prefix) {
    const std::wstring write = Got(frame_, link, &ILink::get_WriteLocation);
    bool write_found = false;
    if (write.empty()) {
      if (WritesFiles(op_)) AddLinkLine(prefix, msg::kNoWriteLocation);
    } else {
      write_found = Known(write);
      if (!write_found) AddLinkLine(prefix, msg::kWriteLocationInvalid);
    }
    const std::wstring read = Got(frame_, link, &ILink::get_ReadLocation);
    if (read.empty()) {
      if (ReadsFiles(op_) && !write_found) AddLinkLine(prefix, msg::kNoReadLocation);
    } else if (!Known(read)) {
      AddLinkLine(prefix, msg::kReadLocationInvalid);
    }
    if (UsesFiles(op_) && Got(frame_, link, &ILink::get_AttribName).empty()) {
      AddLinkLine(prefix, msg::kNoRoute);
      result_.level = ovError;
    }
  }

  // The LinkSet's own findings: class view, objects and routes.
  void CheckInHost(ILinkSet* link_set) {
    std::wstring findings;
    CheckAndRaise(frame_, link_set->get_Validate(VARIANT_TRUE, &findings));
    if (!findings.empty()) text_.append(L"\r\n").append(findings);
  }

  bool Known(const std::wstring& location) const { return locations_.contains(ToLower(location)); }

  void AddBridgeLine(uint32_t message) {
    if (!text_.empty()) text_ += L"\r\n";
    text_ += LoadMessage(message);
  }

  void AddLinkLine(const std::wstring& prefix, uint32_t message) {
    text_.append(L"\r\n").append(prefix).append(LoadMessage(message));
  }

  CMethodFrame& frame_;
  OVCBRIDGETRANSFEROP op_;
  std::unordered_set<std::wstring> locations_;
  Validation result_;
  std::wstring text_;
  bool any_links_ = false;
  int32_t iterative_ = 0;
};

}  // namespace

Validation Validate(CMethodFrame& frame, std::span<const ComPtr<ILinkSet>> link_sets,
                    IAppCollection* apps, OVCBRIDGETRANSFEROP op) {
  Validator validator(frame, apps, op);
  validator.CheckFiles(apps);
  for (size_t index = 0; index < link_sets.size(); ++index) {
    validator.CheckLinkSet(link_sets[index].get(), static_cast<int32_t>(index) + 1);
  }
  validator.CheckTotals();
  return std::move(validator).Result();
}

}  // namespace ovc::transfer
