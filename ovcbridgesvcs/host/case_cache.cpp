#include "ovcbridgesvcs/host/case_cache.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "automation/class_registry.h"
#include "automation/com_ptr.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/source_location.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc {
namespace {

// The case-list scope that selects every case of the workspace.
constexpr int32_t kAllCases = -1;

// The position of the first entry whose OID is not below `oid`.
size_t PlaceOf(std::span<const CaseEntry> entries, int32_t oid) {
  const auto place =
      std::lower_bound(entries.begin(), entries.end(), oid,
                       [](const CaseEntry& entry, int32_t wanted) { return entry.oid < wanted; });
  return static_cast<size_t>(place - entries.begin());
}

// A new host component of class `clsid` as interface I, raised on failure
// with `text` (none when empty).
template <class I>
ComPtr<I> CreateHostComponent(CMethodFrame& frame, const CLSID& clsid, std::wstring_view text,
                              const SourceLocation& where) {
  ComPtr<I> component;
  if (Failed(CheckResult(
          frame, CoCreateInstance(clsid, nullptr, CLSCTX_ALL, I::kIid, component.ReceiveVoid())))) {
    RaiseErrorText(frame, where, std::nullopt, text);
  }
  return component;
}

}  // namespace

void CCaseCache::Fill(CMethodFrame& frame, IOVWorkspace* workspace) {
  ReadCaseList(frame, workspace, kAllCases, *this);
  if (governing_case_ == 0) AskGoverningCase(frame, workspace);
}

void CCaseCache::LoadObjectCases(CMethodFrame& frame, IOVWorkspace* workspace, int32_t object_oid,
                                 CCaseCache& target) {
  ReadCaseList(frame, workspace, object_oid < 1 ? 0 : object_oid, target);
  Fill(frame, workspace);
}

void CCaseCache::ReadCaseList(CMethodFrame& frame, IOVWorkspace* workspace, int32_t scope,
                              CCaseCache& into) {
  into.Clear();
  const auto where = SourceLocation::Current();
  const ComPtr<IOVCaseList> list = CreateHostComponent<IOVCaseList>(
      frame, CLSID_CaseList, LoadMessage(msg::kCaseListNotRegistered), where);
  CheckAndRaise(frame, list->Initialize(scope, workspace));
  int32_t count = 0;
  CheckAndRaise(frame, list->get_Count(&count));
  CCaseCache filled;
  for (int32_t k = 1; k <= count; ++k) {
    std::wstring name;
    int32_t oid = 0;
    CheckAndRaise(frame, list->CaseName(k, &name));
    CheckAndRaise(frame, list->CaseOID(k, &oid));
    filled.Insert(frame, std::move(name), oid);
  }
  into.entries_ = std::move(filled.entries_);
  into.capacity_ = filled.capacity_;
}

void CCaseCache::AskGoverningCase(CMethodFrame& frame, IOVWorkspace* workspace) {
  const ComPtr<IOVGoverningCase> service = CreateHostComponent<IOVGoverningCase>(
      frame, CLSID_GoverningCase, {}, SourceLocation::Current());
  CheckAndRaise(frame, service->put_Workspace(workspace));
  int32_t oid = 0;
  CheckAndRaise(frame, service->GoverningCase(Variant::I4(kAllCases), &oid));
  governing_case_ = oid;
}

void CCaseCache::Insert(CMethodFrame& frame, std::wstring name, int32_t oid) {
  const size_t place = PlaceOf(entries_, oid);
  if (place < entries_.size() && entries_[place].oid == oid) {
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL, L"Duplicate Case Id");
  }
  if (entries_.size() == capacity_) Grow();
  entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(place),
                  CaseEntry{std::move(name), oid});
}

void CCaseCache::Grow() {
  capacity_ += std::clamp<size_t>(capacity_, 1, kMaxGrowth);
  entries_.reserve(capacity_);
}

HRESULT CCaseCache::CaseName(int32_t oid, std::wstring* name) const {
  const size_t place = PlaceOf(entries_, oid);
  if (place == entries_.size() || entries_[place].oid != oid) {
    *name = kUnknownCase;
    return S_FALSE;
  }
  *name = entries_[place].name;
  return S_OK;
}

int32_t CCaseCache::GoverningCase(CMethodFrame& frame) const {
  if (governing_case_ == 0) {
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL,
                  L"Governing Case is not initialised within the cache");
  }
  return governing_case_;
}

}  // namespace ovc
