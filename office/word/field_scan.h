#pragma once

#include <string_view>
#include <vector>

#include "office/word/story.h"
#include "office/word/word_document.h"

namespace ovc::word {

// The fields of `story` (numbered `index`) whose begin mark lies in
// [start, end), in document order, nested ones included. Walks from the
// paragraph holding `start` until every field begun in the span has ended.
std::vector<FieldInfo> ScanFields(const Story& story, StoryIndex index, int32_t start, int32_t end);

// True when a field code names a legacy form field (FORMTEXT,
// FORMCHECKBOX, FORMDROPDOWN).
bool IsFormFieldCode(std::wstring_view code);

// The first word of a field code in upper case ("REF").
std::wstring FieldKeyword(std::wstring_view code);

}  // namespace ovc::word
