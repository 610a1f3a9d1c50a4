#pragma once

#include <stdint.h>
#include <wchar.h>

// The user interface as plain functions, for a program that loads the
// library by path and so cannot hand it C++ objects (Python, for one). The
// program fills the hooks and passes them to the library's exported
// OvcSetUserInterface; null restores the default, which asks nobody.
extern "C" {

// The numbering dialog's values. A delimiter a hook sets must stay valid
// until that hook is called again or the hooks are replaced.
struct OvcNumbering {
  const wchar_t* delimiter;
  int32_t digits;
  int32_t start;
};

// Each hook may be null. A hook answers with a positive button code (OK 1,
// Cancel 2, Yes 6, No 7, Yes to all 19) or, for the numbering, 0 after
// filling *numbering; any other answer (a failure in the hook) takes the
// default's answer for that question.
struct OvcUserInterfaceHooks {
  void* context;
  int32_t (*message_box)(void* context, const wchar_t* text, const wchar_t* caption,
                         uint32_t style);
  int32_t (*confirm)(void* context, const wchar_t* question, const wchar_t* caption);
  int32_t (*ask_numbering)(void* context, OvcNumbering* numbering);
  // Called once when the library lets go of the hooks (replaced, restored
  // or at exit), so that the program can free `context`.
  void (*release)(void* context);
};

// The type of the exported OvcSetUserInterface: copies *hooks (null: back to
// the default) and returns S_OK.
typedef int32_t (*OvcSetUserInterfaceFunction)(const OvcUserInterfaceHooks* hooks);

}  // extern "C"
