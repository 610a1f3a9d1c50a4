#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "automation/hresult.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"

namespace ovc {

// One case of the host: its name and OID.
struct CaseEntry {
  std::wstring name;
  int32_t oid = 0;

  friend bool operator==(const CaseEntry&, const CaseEntry&) = default;
};

// The cases of the workspace, kept in ascending OID order with unique OIDs
// and found by binary search, with the workspace's governing case. Cases
// come from the host's case-list component (Orvan.CaseList), the governing
// case from its governing-case service (Orvan.GoverningCase).
//
// Methods that take a frame raise their failures through it (RaiseError).
class CCaseCache {
 public:
  // The text and status of CaseName for an OID the cache does not hold.
  static constexpr std::wstring_view kUnknownCase = L"<unknown case>";

  // Replaces the entries with every case of `workspace` (case-list scope -1).
  // Then, while the governing case is not known, asks the governing-case
  // service for it (scope -1). Raises message 1267 when the case list
  // cannot be created, "Duplicate Case Id" for a repeated OID, and any
  // failure of the host components; the cache is then empty.
  void Fill(CMethodFrame& frame, IOVWorkspace* workspace);

  // Replaces the entries of `target` with the cases that apply to the object
  // `object_oid` (scope 0 for an OID below 1), then fills this cache again
  // (Fill). Failures as for Fill; `target` is then empty.
  void LoadObjectCases(CMethodFrame& frame, IOVWorkspace* workspace, int32_t object_oid,
                       CCaseCache& target);

  // Inserts a case at its place in OID order. Raises "Duplicate Case Id"
  // with E_FAIL, leaving the cache as it was, when the OID is present.
  void Insert(CMethodFrame& frame, std::wstring name, int32_t oid);

  // The name of case `oid` in *name and S_OK; for an OID the cache does not
  // hold, kUnknownCase and S_FALSE.
  HRESULT CaseName(int32_t oid, std::wstring* name) const;

  // The governing case's OID. Raises with E_FAIL and "Governing Case is not
  // initialised within the cache" while it is not known (0).
  int32_t GoverningCase(CMethodFrame& frame) const;

  // Removes every entry; capacity and governing case are kept.
  void Clear() { entries_.clear(); }

  std::span<const CaseEntry> entries() const { return entries_; }
  size_t count() const { return entries_.size(); }
  // Room for entries before the next growth: 0 at first, then 1, and from
  // there growing by itself but by at most kMaxGrowth entries at a time.
  size_t capacity() const { return capacity_; }

  static constexpr size_t kMaxGrowth = 512;

 private:
  void Grow();
  // Fills `into` (emptied first) from a new case list given `scope`.
  static void ReadCaseList(CMethodFrame& frame, IOVWorkspace* workspace, int32_t scope,
                           CCaseCache& into);
  void AskGoverningCase(CMethodFrame& frame, IOVWorkspace* workspace);

  std::vector<CaseEntry> entries_;
  size_t capacity_ = 0;
  int32_t governing_case_ = 0;
};

}  // namespace ovc
