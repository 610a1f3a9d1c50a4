#pragma once

#include <stdint.h>
#include <wchar.h>

// The progress service as plain functions, for a program that loads the
// library by path (Python, for one). The program fills the hooks and passes
// them to the library's exported OvcSetProgress; null restores the default,
// which does nothing.
extern "C" {

// Phases: 0 host read, 1 write pass, 2 read pass, 3 host write. The texts
// are empty when there is no file or object, and valid during the call.
struct OvcProgressStep {
  int32_t phase;
  const wchar_t* file;
  const wchar_t* object;
  int64_t done;
  int64_t total;
  // The Links whose value moved to or from the file so far (0 outside one).
  int64_t links;
};

// `report` answers 1 to go on and 0 to stop. Any other answer is a failure of
// the hook, which stops the operation too; the hook may then point *failure
// at its text, which must stay valid until the hook is called again or the
// hooks are replaced.
struct OvcProgressHooks {
  void* context;
  int32_t (*report)(void* context, const OvcProgressStep* step, const wchar_t** failure);
  // Called once when the library lets go of the hooks (replaced, restored
  // or at exit), so that the program can free `context`.
  void (*release)(void* context);
};

// The type of the exported OvcSetProgress: copies *hooks (null: back to the
// default) and returns S_OK.
typedef int32_t (*OvcSetProgressFunction)(const OvcProgressHooks* hooks);

}  // extern "C"
