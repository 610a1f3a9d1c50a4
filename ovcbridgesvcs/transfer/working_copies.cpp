#include "ovcbridgesvcs/transfer/working_copies.h"

#include <algorithm>

#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

namespace ovc::transfer {
namespace {

bool QualifiesAsTemplate(CMethodFrame& frame, ILinkSet* link_set) {
  return GotFlag(frame, link_set, &ILinkSet::get_Iterative) &&
         GotFlag(frame, link_set, &ILinkSet::get_Enabled) &&
         !GotFlag(frame, link_set, &ILinkSet::get_Error) &&
         Got(frame, link_set, &ILinkSet::get_Count) > 0;
}

// The template's Link at each position takes the copy's error flag when
// set and the copy's status.
void MergeIntoTemplate(CMethodFrame& frame, ILinkSet* copy, ILinkSet* iterative_template) {
  if (Got(frame, copy, &ILinkSet::get_LinkErrorCount) == 0) return;
  const int32_t count = std::min(Got(frame, iterative_template, &ILinkSet::get_Count),
                                 Got(frame, copy, &ILinkSet::get_Count));
  for (int32_t j = 0; j < count; ++j) {
    const ComPtr<ILink> from = LinkAt(frame, copy, j);
    const ComPtr<ILink> to = LinkAt(frame, iterative_template, j);
    if (GotFlag(frame, from.get(), &ILink::get_Error)) {
      CheckAndRaise(frame, to->put_Error(VARIANT_TRUE));
    }
    AppendStatus(frame, to.get(), Got(frame, from.get(), &ILink::get_Status));
  }
}

}  // namespace

int32_t LinkSetCount(CMethodFrame& frame, IBridge* bridge) {
  return Got(frame, bridge, &IBridge::get_Count);
}

bool IsWorkingCopy(CMethodFrame& frame, ILinkSet* link_set) {
  return GotFlag(frame, link_set, &ILinkSet::get_IterativeCopy);
}

ComPtr<ILinkSet> IterativeTemplate(CMethodFrame& frame, IBridge* bridge) {
  ComPtr<ILinkSet> found;
  int32_t qualifying = 0;
  for (int32_t i = 0; i < LinkSetCount(frame, bridge); ++i) {
    ComPtr<ILinkSet> link_set = LinkSetAt(frame, bridge, i);
    if (!QualifiesAsTemplate(frame, link_set.get())) continue;
    found = std::move(link_set);
    ++qualifying;
  }
  return qualifying == 1 ? found : nullptr;
}

void CreateWorkingCopies(CMethodFrame& frame, IBridge* bridge, ILinkSet* iterative_template) {
  const int32_t objects = Got(frame, iterative_template, &ILinkSet::get_ObjectCount);
  for (int32_t object = 0; object < objects; ++object) {
    Variant copy;
    CheckAndRaise(frame, iterative_template->CreateWorkingCopy(object, &copy));
    CheckAndRaise(frame, bridge->Add(copy.dispatch()));
  }
}

void SetWorkingCopiesEnabled(CMethodFrame& frame, IBridge* bridge, bool enabled) {
  for (int32_t i = 0; i < LinkSetCount(frame, bridge); ++i) {
    const ComPtr<ILinkSet> link_set = LinkSetAt(frame, bridge, i);
    if (IsWorkingCopy(frame, link_set.get())) {
      CheckAndRaise(frame, link_set->put_Enabled(ToVariantBool(enabled)));
    }
  }
}

void DeleteWorkingCopies(CMethodFrame& frame, IBridge* bridge, ILinkSet* iterative_template) {
  for (int32_t i = LinkSetCount(frame, bridge) - 1; i >= 0; --i) {
    const ComPtr<ILinkSet> link_set = LinkSetAt(frame, bridge, i);
    if (!IsWorkingCopy(frame, link_set.get())) continue;
    if (iterative_template != nullptr) {
      MergeIntoTemplate(frame, link_set.get(), iterative_template);
    }
    CheckAndRaise(frame, bridge->Remove(i));
  }
}

}  // namespace ovc::transfer
