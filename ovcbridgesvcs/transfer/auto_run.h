#pragma once

#include <cstdint>
#include <string>

#include "automation/com_ptr.h"
#include "automation/hresult.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// The operations that run both directions of a Bridge: AutoRun (host values
// into the files, the files read back, the values written to the host),
// the same split at pauses where the user works in the files, and the read
// of the files for an iterative run. An iterative run repeats the passes
// over the files once per object of its template, each time with that
// object's working copy enabled.
//
// Each operation reports its steps to the progress service; a stop asked
// by the service ends it at the next step with E_ABORT, removes the
// working copies and ends any pause, and nothing is written to the host.
// Other failures end an operation with their error and leave the working
// copies in the Bridge until the next run removes them. Every failure
// raises through the frame.
namespace ovc::transfer {

// What the operations ask of the Bridge they run on; each step returns its
// status and leaves its error on failure, or raises through `frame`.
class OperationSteps {
 public:
  virtual IBridge* bridge() = 0;
  // One pass over the enabled files: the Links' host values written into
  // them (each file shown after when `activate`), or their values read.
  virtual HRESULT FilesPass(bool write, bool activate) = 0;
  // The Links' host values read, without change report.
  virtual HRESULT ReadFromHost(CMethodFrame& frame) = 0;
  // The values the Links read from the files written to the host.
  virtual HRESULT WriteToHost(CMethodFrame& frame) = 0;

 protected:
  ~OperationSteps() = default;
};

// The host's phases, each reported to the progress service before it runs,
// where a stop ends the operation, and after: the Links' values read from
// the host; written to it; read back after a write, so that the Links show
// what the host now holds, where a stop is no longer taken.
void ReadHost(CMethodFrame& frame, OperationSteps& steps);
void WriteHost(CMethodFrame& frame, OperationSteps& steps);
void ReadHostWritten(CMethodFrame& frame, OperationSteps& steps);

// An AutoRun with pause between its calls.
struct PausedRun {
  // The template of the iterative run under way; null when none.
  ComPtr<ILinkSet> iterative_template;
  // The Bridge position of the working copy the run paused at; -1 when no
  // iterative run is paused.
  int32_t position = -1;
  // Working copies done before the one paused at.
  int32_t objects_done = 0;
  // What the client shows the user while paused (AutorunStatus).
  std::wstring prompt;
};

void AutoRun(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused);

// Reads the host values and writes them into the files, then pauses: at
// the first object of an iterative run, else before the files are read.
// An iterative template without objects fails with "Error:  Transfer not
// performed" (E_FAIL).
void StartAutoRunWithPause(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused);

// Reads the files; pauses again at the next object of an iterative run,
// else writes to the host, reads its values back and ends the run. Whether
// the run ended. Without a pause under way it reads the files and writes
// to the host.
bool ResumeAutoRunWithPause(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused);

// Ends an iterative pause without writing to the host: the working copies
// are removed, their Links' errors and statuses handed to the template.
void CancelAutoRunWithPause(CMethodFrame& frame, IBridge* bridge, PausedRun& paused);

// Reads the files; for an iterative template once per object, into working
// copies that stay for ImportOrvanFromApp.
void ReadFromAppsIterative(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused);

// Writes the values read from the files to the host, with every working
// copy of a preceding ReadFromAppsIterative, reads them back, and removes
// the copies.
void ImportOrvanFromApp(CMethodFrame& frame, OperationSteps& steps, PausedRun& paused);

}  // namespace ovc::transfer
