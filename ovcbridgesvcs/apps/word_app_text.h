#pragma once

#include <cstddef>
#include <string>

// The rules for the texts the Word adapter reads and writes.
namespace ovc::apps::word {

// The most characters a text form field's result holds, counted as Word
// counts them: in UTF-16 units, two for a character beyond the basic plane.
inline constexpr size_t kFormFieldResultLimit = 255;

// The value a read gives for the text Word shows at a location: one
// trailing end-of-cell mark "\r\a", or else one trailing paragraph mark
// "\r", is dropped; a text that starts (after blanks) with the FORMTEXT
// field code keeps only what follows the code; a text made only of EN SPACEs (U+2002, how an
// empty form field shows) reads as empty, any other EN SPACE as a space.
std::wstring ValueOfShownText(std::wstring text);

// Cuts `text` to at most kFormFieldResultLimit units, always between
// characters (a character of two units that would cross the limit goes
// whole). True when it cut.
bool CutToFormFieldResult(std::wstring* text);

}  // namespace ovc::apps::word
