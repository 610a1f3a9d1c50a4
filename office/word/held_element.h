#pragma once

#include <memory>

#include <pugixml.hpp>

#include "office/word/word_document.h"

namespace ovc::word {

// An element of a story (a table, a cell) that an automation object keeps
// between calls while edits may remove it from the document.
class HeldElement {
 public:
  // `element` is in a story of `document` now.
  HeldElement(WordDocument& document, pugi::xml_node element)
      : element_(element), near_(document.Track(document.SpanOf(element))) {}

  // The element while it is in the document; empty once it left it.
  pugi::xml_node Get(const WordDocument& document) const {
    return document.Contains(element_, near_.get()) ? element_ : pugi::xml_node();
  }

 private:
  pugi::xml_node element_;
  std::shared_ptr<LiveSpan> near_;
};

}  // namespace ovc::word
