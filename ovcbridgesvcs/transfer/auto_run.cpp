#include "ovcbridgesvcs/transfer/auto_run.h"

#include <string_view>
#include <utility>

#include "ovcbridgesvcs/frame/ov_com_exception.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/transfer/progress_step.h"
#include "ovcbridgesvcs/transfer/working_copies.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kNotPerformed = L"Error:  Transfer not performed";
constexpr std::wstring_view kFilesWrittenPrompt =
    L"The Bridge has completed the transfer from Orvan to the Applications.\n\nPress OK when you "
    L"are ready to transfer from the Applications to Orvan";

std::wstring ObjectWrittenPrompt(const std::wstring& object) {
  return L"The Bridge has completed the transfer for \"" + object +
         L"\" in the iterative linkset to the Application(s).\nAutotransfer will continue with the "
         L"next object in the iterative list, or write to Orvan if that was the last.\n\n\nNote:  "
         L"No data will be written back to the Orvan database if Cancel is pressed.\n\nPress OK "
         L"when you are ready to continue, Cancel to stop the operation.";
}

// A phase that runs once, not per object: reported before (0 of 1) and,
// for the host, after (1 of 1).
ProgressStep Whole(ProgressPhase phase, int64_t done = 0) { return {phase, {}, {}, done, 1}; }

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

// A new run: what earlier runs left is removed, the iterative template, when
// there is one, expanded into working copies and the host read; then
// `run(template or null)`, ended cleanly on a stop. Returns the template.
template <class Run>
ComPtr<ILinkSet> RunAfresh(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused,
                           Run&& run) {
  IBridge* bridge = steps.bridge();
  StartAfresh(frame, bridge, paused);
  ComPtr<ILinkSet> iterative = IterativeTemplate(frame, bridge);
  if (iterative) CreateWorkingCopies(frame, bridge, iterative.get());
  EndedCleanlyOnStop(bridge, iterative.get(), paused, [&] {
    ReadHost(frame, steps);
    run(iterative.get());
  });
  return iterative;
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

// From the paused position on: enables the next working copy, writes the
// files for it and pauses there. False when no copy is left.
bool PauseAtNextObject(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  IBridge* bridge = steps.bridge();
  for (; paused.position < LinkSetCount(frame, bridge); ++paused.position) {
    const ComPtr<ILinkSet> copy = LinkSetAt(frame, bridge, paused.position);
    if (!IsWorkingCopy(frame, copy.get())) continue;
    const std::wstring object = ObjectOf(frame, copy.get());
    CheckAndRaise(frame, copy->put_Enabled(VARIANT_TRUE));
    const int32_t total = ObjectCount(frame, paused.iterative_template.get());
    RunPass(frame, steps, {ProgressPhase::kWritePass, {}, object, paused.objects_done, total},
            true);
    paused.prompt = ObjectWrittenPrompt(object);
    return true;
  }
  return false;
}

// Reads the files for the working copy paused at, then pauses at the next
// one. False when none is left.
bool ResumeAtNextObject(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  const ComPtr<ILinkSet> copy = LinkSetAt(frame, steps.bridge(), paused.position);
  const int32_t total = ObjectCount(frame, paused.iterative_template.get());
  RunPass(frame, steps,
          {ProgressPhase::kReadPass, {}, ObjectOf(frame, copy.get()), paused.objects_done, total},
          false);
  CheckAndRaise(frame, copy->put_Enabled(VARIANT_FALSE));
  ++paused.position;
  ++paused.objects_done;
  return PauseAtNextObject(frame, steps, paused);
}

}  // namespace

void ReadHost(CMethodFrame& frame, OperationSteps& steps) {
  ReportStep(frame, Whole(ProgressPhase::kHostRead));
  CheckAndRaise(frame, steps.ReadFromHost(frame));
  ReportStep(frame, Whole(ProgressPhase::kHostRead, 1));
}

void WriteHost(CMethodFrame& frame, OperationSteps& steps) {
  ReportStep(frame, Whole(ProgressPhase::kHostWrite));
  CheckAndRaise(frame, steps.WriteToHost(frame));
  ReportUnstoppable(Whole(ProgressPhase::kHostWrite, 1));
}

void ReadHostWritten(CMethodFrame& frame, OperationSteps& steps) {
  ReportUnstoppable(Whole(ProgressPhase::kHostRead));
  CheckAndRaise(frame, steps.ReadFromHost(frame));
  ReportUnstoppable(Whole(ProgressPhase::kHostRead, 1));
}

void AutoRun(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  IBridge* bridge = steps.bridge();
  const ComPtr<ILinkSet> iterative =
      RunAfresh(frame, steps, paused, [&](ILinkSet* iterative_template) {
        if (iterative_template) {
          PassesPerObject(frame, steps, iterative_template, true);
          SetWorkingCopiesEnabled(frame, bridge, true);
        } else {
          RunPass(frame, steps, Whole(ProgressPhase::kWritePass), false);
          RunPass(frame, steps, Whole(ProgressPhase::kReadPass), false);
        }
        WriteHost(frame, steps);
      });
  CheckAndRaise(frame, bridge->FinalStatus(ovAutorun));
  DeleteWorkingCopies(frame, bridge, iterative.get());
  ReadHostWritten(frame, steps);
}

void StartAutoRunWithPause(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  RunAfresh(frame, steps, paused, [&](ILinkSet* iterative_template) {
    if (!iterative_template) {
      RunPass(frame, steps, Whole(ProgressPhase::kWritePass), true);
      paused.prompt = kFilesWrittenPrompt;
      return;
    }
    SetWorkingCopiesEnabled(frame, steps.bridge(), false);
    paused.iterative_template = ComPtr<ILinkSet>(iterative_template);
    paused.position = 0;
    if (PauseAtNextObject(frame, steps, paused)) return;
    paused = PausedRun();
    RaiseErrorText(frame, SourceLocation::Current(), E_FAIL, kNotPerformed);
  });
}

bool ResumeAutoRunWithPause(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  IBridge* bridge = steps.bridge();
  const ComPtr<ILinkSet> iterative_template = paused.iterative_template;
  const ComPtr<ILinkSet> iterative = paused.position < 0 ? nullptr : iterative_template;
  bool finished = true;
  EndedCleanlyOnStop(bridge, iterative_template.get(), paused, [&] {
    if (!iterative) {
      RunPass(frame, steps, Whole(ProgressPhase::kReadPass), false);
      WriteHost(frame, steps);
      paused.prompt.clear();
      return;
    }
    if (ResumeAtNextObject(frame, steps, paused)) {
      finished = false;
      return;
    }
    SetWorkingCopiesEnabled(frame, bridge, true);
    WriteHost(frame, steps);
    DeleteWorkingCopies(frame, bridge, iterative.get());
    paused = PausedRun();
  });
  if (!finished) return false;
  ReadHostWritten(frame, steps);
  CheckAndRaise(frame, bridge->FinalStatus(ovAutorunPause));
  return true;
}

void CancelAutoRunWithPause(CMethodFrame& frame, IBridge* bridge, PausedRun& paused) {
  if (!paused.iterative_template) return;
  const ComPtr<ILinkSet> iterative = std::exchange(paused, PausedRun()).iterative_template;
  DeleteWorkingCopies(frame, bridge, iterative.get());
}

void ReadFromAppsIterative(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  IBridge* bridge = steps.bridge();
  StartAfresh(frame, bridge, paused);
  const ComPtr<ILinkSet> iterative = IterativeTemplate(frame, bridge);
  if (!iterative) {
    RunPass(frame, steps, Whole(ProgressPhase::kReadPass), false);
    return;
  }
  paused.iterative_template = iterative;
  CreateWorkingCopies(frame, bridge, iterative.get());
  EndedCleanlyOnStop(bridge, iterative.get(), paused,
                     [&] { PassesPerObject(frame, steps, iterative.get(), false); });
}

void ImportOrvanFromApp(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused) {
  IBridge* bridge = steps.bridge();
  const ComPtr<ILinkSet> iterative = paused.iterative_template;
  EndedCleanlyOnStop(bridge, iterative.get(), paused, [&] {
    if (iterative) SetWorkingCopiesEnabled(frame, bridge, true);
    WriteHost(frame, steps);
  });
  CheckAndRaise(frame, bridge->FinalStatus(ovImportOrvanFromApp));
  ReadHostWritten(frame, steps);
  if (!iterative) return;
  DeleteWorkingCopies(frame, bridge, iterative.get());
  paused = PausedRun();
}

}  // namespace ovc::transfer
