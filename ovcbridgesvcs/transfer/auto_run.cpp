#include "ovcbridgesvcs/transfer/auto_run.h"

#include "ovcbridgesvcs/frame/ov_com_exception.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/transfer/progress_step.h"
#include "ovcbridgesvcs/transfer/working_copies.h"

namespace ovc::transfer {
namespace {

// A phase that runs once, not per object.
ProgressStep Whole(ProgressPhase phase) { return {phase, {}, {}, 0, 1}; }

void ReadHost(CMethodFrame& frame, OperationSteps& steps) {
  ReportStep(frame, Whole(ProgressPhase::kHostRead));
  CheckAndRaise(frame, steps.ReadFromHost(frame));
}

void WriteHost(CMethodFrame& frame, OperationSteps& steps) {
  ReportStep(frame, Whole(ProgressPhase::kHostWrite));
  CheckAndRaise(frame, steps.WriteToHost(frame));
}

// A write or read pass over the files, as `step` says.
void RunPass(CMethodFrame& frame, OperationSteps& steps, const ProgressStep& step, bool activate) {
  ReportStep(frame, step);
  CheckAndRaise(frame, steps.FilesPass(step.phase == ProgressPhase::kWritePass, activate));
}

std::wstring ObjectOf(CMethodFrame& frame, ILinkSet* copy) {
  return Got(frame, copy, &ILinkSet::get_ObjectName);
}

int32_t ObjectCount(CMethodFrame& frame, ILinkSet* iterative_template) {
  return Got(frame, iterative_template, &ILinkSet::get_ObjectCount);
}

// Forgets a paused run and removes the working copies an earlier run left.
void StartAfresh(CMethodFrame& frame, IBridge* bridge, PausedRun& paused) {
  paused = PausedRun();
  DeleteWorkingCopies(frame, bridge, nullptr);
}

// Runs `run`; when the progress service stops it, the working copies go
// (their Links' errors and statuses to `iterative_template`) and no run
// stays paused before the stop is passed on.
template <class Run>
void EndedCleanlyOnStop(IBridge* bridge, ILinkSet* iterative_template, PausedRun& paused,
                        Run&& run) {
  try {
    run();
  } catch (const OVComException& failure) {
    if (failure.code() != E_ABORT) throw;
    CMethodFrame removal(L"CBridge::DeleteWorkingIterLinkSets");
    RunMethod(removal, [&] { DeleteWorkingCopies(removal, bridge, iterative_template); });
    paused = PausedRun();
    throw;
  }
}

// The passes once per working copy, with only that copy enabled: a write
// pass when `write`, then a read pass. The copies are left disabled.
void PassesPerObject(CMethodFrame& frame, OperationSteps& steps, ILinkSet* iterative_template,
                     bool write) {
  IBridge* bridge = steps.bridge();
  const int32_t total = ObjectCount(frame, iterative_template);
  SetWorkingCopiesEnabled(frame, bridge, false);
  int32_t done = 0;
  for (int32_t i = 0; i < LinkSetCount(frame, bridge); ++i) {
    const ComPtr<ILinkSet> copy = LinkSetAt(frame, bridge, i);
    if (!IsWorkingCopy(frame, copy.get())) continue;
    const std::wstring object = ObjectOf(frame, copy.get());
    CheckAndRaise(frame, copy->put_Enabled(VARIANT_TRUE));
    if (write) RunPass(frame, steps, {ProgressPhase::kWritePass, {}, object, done, total}, false);
    RunPass(frame, steps, {ProgressPhase::kReadPass, {}, object, done, total}, false);
    CheckAndRaise(frame, copy->put_Enabled(VARIANT_FALSE));
    ++done;
  }
}

}  // namespace

void AutoRun(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  IBridge* bridge = steps.bridge();
  StartAfresh(frame, bridge, paused);
  const ComPtr<ILinkSet> iterative = IterativeTemplate(frame, bridge);
  if (iterative) CreateWorkingCopies(frame, bridge, iterative.get());
  EndedCleanlyOnStop(bridge, iterative.get(), paused, [&] {
    ReadHost(frame, steps);
    if (iterative) {
      PassesPerObject(frame, steps, iterative.get(), true);
      SetWorkingCopiesEnabled(frame, bridge, true);
    } else {
      RunPass(frame, steps, Whole(ProgressPhase::kWritePass), false);
      RunPass(frame, steps, Whole(ProgressPhase::kReadPass), false);
    }
    WriteHost(frame, steps);
  });
  CheckAndRaise(frame, bridge->FinalStatus(ovAutorun));
  DeleteWorkingCopies(frame, bridge, iterative.get());
  CheckAndRaise(frame, steps.ReadFromHost(frame));
}

}  // namespace ovc::transfer
