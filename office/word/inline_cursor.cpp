#include "office/word/inline_cursor.h"

#include <cwchar>
#include <string_view>
#include <unordered_map>

#include "automation/text.h"

namespace ovc::word {
namespace {

enum class Kind {
  kSkip,
  kContainer,
  kSimpleField,
  kText,
  kUnit,
  kFieldChar,
  kMark,
  kBreak,
  kSymbol
};

struct Entry {
  Kind kind;
  wchar_t unit;
};

const std::unordered_map<std::string_view, Entry>& Kinds() {
  static const auto* kinds = new std::unordered_map<std::string_view, Entry>{
      {"r", {Kind::kContainer, 0}},
      {"hyperlink", {Kind::kContainer, 0}},
      {"smartTag", {Kind::kContainer, 0}},
      {"sdt", {Kind::kContainer, 0}},
      {"sdtContent", {Kind::kContainer, 0}},
      {"customXml", {Kind::kContainer, 0}},
      {"ins", {Kind::kContainer, 0}},
      {"moveTo", {Kind::kContainer, 0}},
      {"dir", {Kind::kContainer, 0}},
      {"bdo", {Kind::kContainer, 0}},
      {"fldSimple", {Kind::kSimpleField, 0}},
      {"t", {Kind::kText, 0}},
      {"tab", {Kind::kUnit, L'\t'}},
      {"ptab", {Kind::kUnit, L'\t'}},
      {"cr", {Kind::kUnit, L'\v'}},
      {"br", {Kind::kBreak, L'\v'}},
      {"noBreakHyphen", {Kind::kUnit, 0x1E}},
      {"softHyphen", {Kind::kUnit, 0x1F}},
      {"sym", {Kind::kSymbol, 0}},
      {"footnoteReference", {Kind::kUnit, 0x02}},
      {"endnoteReference", {Kind::kUnit, 0x02}},
      {"footnoteRef", {Kind::kUnit, 0x02}},
      {"endnoteRef", {Kind::kUnit, 0x02}},
      {"drawing", {Kind::kUnit, 0x01}},
      {"pict", {Kind::kUnit, 0x01}},
      {"object", {Kind::kUnit, 0x01}},
      {"fldChar", {Kind::kFieldChar, 0}},
      {"bookmarkStart", {Kind::kMark, 0}},
      {"bookmarkEnd", {Kind::kMark, 0}},
      {"commentRangeStart", {Kind::kMark, 0}},
      {"commentRangeEnd", {Kind::kMark, 0}},
      {"permStart", {Kind::kMark, 0}},
      {"permEnd", {Kind::kMark, 0}},
      {"proofErr", {Kind::kMark, 0}},
      {"moveFromRangeStart", {Kind::kMark, 0}},
      {"moveFromRangeEnd", {Kind::kMark, 0}},
      {"moveToRangeStart", {Kind::kMark, 0}},
      {"moveToRangeEnd", {Kind::kMark, 0}},
  };
  return *kinds;
}

Entry EntryOf(const WordNames& names, pugi::xml_node node) {
  const std::string_view local = names.Local(node);
  if (local.empty()) {
    // Objects kept in two forms count once.
    return IsMarkup(node, "AlternateContent") ? Entry{Kind::kUnit, 0x01} : Entry{Kind::kSkip, 0};
  }
  const auto found = Kinds().find(local);
  return found == Kinds().end() ? Entry{Kind::kSkip, 0} : found->second;
}

wchar_t BreakCharacter(const WordNames& names, pugi::xml_node br) {
  const std::string_view type = names.Attribute(br, "type").value();
  if (type == "page") return L'\f';
  if (type == "column") return 0x0E;
  return L'\v';
}

wchar_t SymbolCharacter(const WordNames& names, pugi::xml_node sym) {
  const unsigned long code =
      std::wcstoul(FromUtf8(names.Attribute(sym, "char").value()).c_str(), nullptr, 16);
  return code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)
             ? static_cast<wchar_t>(code)
             : 0xFFFD;
}

}  // namespace

int32_t TextLength(pugi::xml_node text) {
  return static_cast<int32_t>(FromUtf8(text.child_value()).size());
}

InlineCursor::InlineCursor(const WordNames& names, pugi::xml_node paragraph)
    : names_(names), paragraph_(paragraph) {}

bool InlineCursor::Next() {
  position_ += width_;
  width_ = 0;
  for (;;) {
    if (!started_) {
      started_ = true;
      node_ = paragraph_.first_child();
      leaving_ = false;
    } else if (!leaving_ && descend_) {
      if (node_.first_child()) {
        node_ = node_.first_child();
      } else {
        leaving_ = true;
      }
    } else if (node_.next_sibling()) {
      node_ = node_.next_sibling();
      leaving_ = false;
    } else {
      node_ = node_.parent();
      leaving_ = true;
    }
    if (!node_ || node_ == paragraph_) return false;
    descend_ = false;
    if (leaving_) {
      const bool simple = names_.Is(node_, "fldSimple");
      event_ = simple ? InlineEvent::kSimpleEnd : InlineEvent::kLeave;
      width_ = simple ? 1 : 0;
      return true;
    }
    if (node_.type() != pugi::node_element) continue;
    Classify();
    return true;
  }
}

// Sets the event of the element entered.
void InlineCursor::Classify() {
  const Entry entry = EntryOf(names_, node_);
  unit_ = entry.unit;
  width_ = 1;
  switch (entry.kind) {
    case Kind::kSkip:
      event_ = InlineEvent::kPassed;
      width_ = 0;
      return;
    case Kind::kContainer:
      event_ = InlineEvent::kEnter;
      width_ = 0;
      descend_ = true;
      return;
    case Kind::kSimpleField:
      event_ = InlineEvent::kSimpleBegin;
      descend_ = true;
      return;
    case Kind::kText:
      event_ = InlineEvent::kText;
      width_ = TextLength(node_);
      return;
    case Kind::kUnit:
      event_ = InlineEvent::kUnit;
      return;
    case Kind::kBreak:
      event_ = InlineEvent::kUnit;
      unit_ = BreakCharacter(names_, node_);
      return;
    case Kind::kSymbol:
      event_ = InlineEvent::kUnit;
      unit_ = SymbolCharacter(names_, node_);
      return;
    case Kind::kFieldChar:
      event_ = InlineEvent::kFieldChar;
      return;
    case Kind::kMark:
      event_ = InlineEvent::kMark;
      width_ = 0;
      return;
  }
}

int32_t ContentWidth(const WordNames& names, pugi::xml_node paragraph) {
  InlineCursor cursor(names, paragraph);
  while (cursor.Next()) {
  }
  return cursor.position();
}

}  // namespace ovc::word
