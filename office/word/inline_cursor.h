#pragma once

#include <cstdint>

#include <pugixml.hpp>

#include "office/word/word_names.h"

namespace ovc::word {

// What the cursor stands on inside a paragraph.
enum class InlineEvent {
  kEnter,        // a container it walks into (run, hyperlink, sdt, ins, smartTag, ...)
  kLeave,        // the end of such a container
  kText,         // a w:t: one position per character
  kUnit,         // one position with one character (tab, break, symbol, object, note reference)
  kFieldChar,    // a w:fldChar: one position, no text
  kSimpleBegin,  // the start of a w:fldSimple: one position, no text
  kSimpleEnd,    // its end: one position, no text
  kMark,         // a zero-width mark (bookmark, comment range, permission, proofing)
  kPassed,       // an element passed over with what it holds (properties, deletions, codes)
};

// Walks the content of one paragraph in document order, without recursion,
// as the word processor sees it: deleted and moved-away revisions, field
// codes and properties are passed over, objects count once (their text
// boxes are stories of their own).
class InlineCursor {
 public:
  InlineCursor(const WordNames& names, pugi::xml_node paragraph);

  // Moves to the next event; false past the paragraph's last content.
  bool Next();

  InlineEvent event() const { return event_; }
  // The element of the event (the w:t for kText, the w:fldSimple for its
  // begin and end).
  pugi::xml_node node() const { return node_; }
  // Positions before the event, from the paragraph's start.
  int32_t position() const { return position_; }
  // Positions the event takes (the characters of a w:t; 1 or 0 otherwise).
  int32_t width() const { return width_; }
  // The character of a kUnit event.
  wchar_t unit() const { return unit_; }

 private:
  void Classify();

  const WordNames& names_;
  const pugi::xml_node paragraph_;
  pugi::xml_node node_;
  bool leaving_ = false;
  bool started_ = false;
  InlineEvent event_ = InlineEvent::kEnter;
  int32_t position_ = 0;
  int32_t width_ = 0;
  wchar_t unit_ = 0;
  bool descend_ = false;
};

// The number of characters of a w:t as Text reads them.
int32_t TextLength(pugi::xml_node text);

// The positions of a paragraph's content, its mark not included.
int32_t ContentWidth(const WordNames& names, pugi::xml_node paragraph);

}  // namespace ovc::word
