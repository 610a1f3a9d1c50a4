#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "automation/hresult.h"
#include "office/package/package.h"

namespace ovc::word {

// A story is one independent flow of text: 0 is the main body; then every
// header and footer in the main part's relationship order, the footnotes,
// the endnotes (separator notes left out) and the text boxes.
using StoryIndex = int32_t;

enum class StoryKind { kBody, kHeader, kFooter, kFootnote, kEndnote, kTextBox };

// A stretch of one story in positions as the word processor counts them:
// every character, paragraph mark, end of cell and end of row mark, tab,
// break, field mark (begin, separate, end), note reference and object takes
// one position; bookmarks and other zero-width marks sit between positions.
// Always start <= end.
struct TextSpan {
  StoryIndex story = 0;
  int32_t start = 0;
  int32_t end = 0;
};

class Story;
class WordNames;

// A span the document keeps valid: every edit moves it as the text around it
// moves (an edit before it shifts it, one inside resizes it, an insertion at
// its edge does not grow it). Made by WordDocument::Track; the document stops
// adjusting it when the last shared_ptr goes. The owner may set `span` itself
// (a Range moved by the caller).
struct LiveSpan {
  TextSpan span;
};

// A bookmark as the document resolves it.
struct BookmarkInfo {
  std::wstring name;  // as stored
  TextSpan span;      // from the start mark to the end mark; empty when collapsed
  // The columns of a bookmark over a block of table cells (w:colFirst and
  // w:colLast, 0-based); -1 for an ordinary bookmark.
  int32_t first_column = -1;
  int32_t last_column = -1;
  pugi::xml_node start;  // the w:bookmarkStart and w:bookmarkEnd elements
  pugi::xml_node end;
};

// A field: complex (w:fldChar begin, code in w:instrText, separate, result,
// end; split over runs, possibly nested) or simple (w:fldSimple).
struct FieldInfo {
  StoryIndex story = 0;
  // w:fldChar of the begin mark, or the w:fldSimple element.
  pugi::xml_node begin;
  // w:fldChar of the separate and end marks; empty for a simple field, and
  // separate empty when the field shows no result.
  pugi::xml_node separate;
  pugi::xml_node end;
  // The w:ffData of a legacy form field, else empty.
  pugi::xml_node form_data;
  // The field code of this field, nested fields' codes left out, blanks
  // around it trimmed ("REF Total \h").
  std::wstring code;
  TextSpan span;    // from the begin mark through the end mark
  TextSpan result;  // the result between the separate (or begin) and end marks
};

// One open word-processing document (.docx, .docm, .dotx, .dotm): owns its
// package and the parsed stories, and edits them keeping everything it does
// not mean to change. Serves one thread at a time.
class WordDocument {
 public:
  // Opens the document at `path` (per `options`: read-only, limits, file
  // system, trace). On failure returns null with *error ("<file>: <reason>")
  // and *code: E_NOTIMPL for a format that is not a word-processing Office
  // Open XML package ("...: a workbook, not a word-processing document"),
  // STG_E_DOCFILECORRUPT for a damaged package or story part, STG_E_* for a
  // file that cannot be read.
  static std::unique_ptr<WordDocument> Open(const std::string& path,
                                            const office::OpenOptions& options, std::string* error,
                                            HRESULT* code);
  ~WordDocument();
  WordDocument(const WordDocument&) = delete;
  WordDocument& operator=(const WordDocument&) = delete;

  // The package; parts the model edits are already marked changed, so
  // package().Save writes them.
  office::Package& package() { return *package_; }
  const std::string& file_name() const { return package_->file_name(); }

  // Called after every successful change the model makes (text, bookmarks,
  // field results, NoteReplaced); replaces any earlier one. May be empty.
  void set_change_listener(std::function<void()> listener);

  // The stories, numbered from 0 (StoryIndex).
  int32_t story_count() const;
  StoryKind story_kind(StoryIndex story) const;
  // The element holding the story's blocks (w:body, w:hdr, w:ftr,
  // w:footnote, w:endnote, w:txbxContent); empty for an index out of range.
  pugi::xml_node story_root(StoryIndex story) const;
  // The number of positions of the story (its last paragraph mark included).
  int32_t story_length(StoryIndex story) const;

  // The text of a span as the word processor returns it: "\r" for a
  // paragraph mark, "\r\a" for the end of a cell or row, "\t", "\v" (line
  // break), "\f" (page break), U+000E (column break), U+001E / U+001F
  // (non-breaking / soft hyphen), a symbol's character, field results only
  // (never codes), U+0002 for a note reference, U+0001 for an object; deleted
  // and moved-away revisions left out. A span out of range is clipped.
  std::wstring Text(const TextSpan& span) const;

  // Replaces the span's content by `text`. On success *span covers exactly
  // the new text: a bookmark whose whole text was replaced is stretched over
  // it, other marks inside move to the nearest edge, the new runs take the
  // formatting of the first replaced run (collapsed: of the run before, else
  // of the paragraph mark), "\r" (or "\r\n") starts a paragraph cloning the
  // paragraph's properties, "\v" and "\n" become line breaks, "\t" tabs, "\f"
  // page breaks; replaced paragraph marks merge paragraphs, but the last mark
  // of the story stays. Failure changes nothing: E_INVALIDARG for a control
  // character or a code point XML cannot carry, E_ACCESSDENIED when the span
  // holds or cuts a table, cell or content-control boundary, a legacy form
  // field, part of any field, a note reference or an object; *error then
  // gives the reason ("text crosses a table cell"), without the file name.
  // The caller checks protection and revision tracking first.
  HRESULT SetText(TextSpan* span, std::wstring_view text, std::string* error);

  // A span the document adjusts after every edit (see LiveSpan).
  std::shared_ptr<LiveSpan> Track(const TextSpan& span);
  // Whether `element`, an element of a story seen before (a table, row or
  // cell), is still in the document. `near` tracks its span (Track(SpanOf))
  // and is put on the element again when it is found. The element is only
  // compared by address until found, so one an edit removed is never touched.
  bool Contains(pugi::xml_node element, LiveSpan* near) const;

  // The span an element of a story covers: a paragraph with its mark, a
  // cell with its end mark, a row with its end mark, a table, a run, a
  // field's begin mark through its end mark (pass FieldInfo::begin); a
  // zero-width mark gives an empty span at its place. story -1 when the node
  // is in no story.
  TextSpan SpanOf(pugi::xml_node node) const;
  // The innermost element of that local name ("tbl", "tc", "tr", "p",
  // "hyperlink", ...) containing the content at `position` of `story`;
  // empty when there is none or the position is outside the story.
  pugi::xml_node InnermostAt(StoryIndex story, int32_t position, std::string_view local_name) const;
  // How the part holding `node` names its word-processing elements; null
  // when the node is in no story.
  const WordNames* NamesOf(pugi::xml_node node) const;

  // Bookmarks of every story with both marks in that story. The visible ones
  // (names not starting with "_"), sorted by name without regard to case:
  int32_t visible_bookmark_count() const;
  // The visible bookmark at `index` (0-based); false when out of range.
  bool VisibleBookmark(int32_t index, BookmarkInfo* bookmark) const;
  // Any bookmark by name without regard to case, hidden ones too; a name
  // used twice resolves to the first in story order. False when absent.
  bool FindBookmark(std::wstring_view name, BookmarkInfo* bookmark) const;
  // Creates the bookmark over `span` or moves the one of that name (the new
  // spelling kept), with a w:id unique in the document; a span from one
  // cell of a table to another marks the block of cells (w:colFirst,
  // w:colLast: positions of the cells in their rows). E_INVALIDARG when
  // the name is not 1-40 letters, digits and "_" starting with a letter;
  // E_ACCESSDENIED when the span cannot hold the marks; *error says why.
  HRESULT AddBookmark(std::wstring_view name, const TextSpan& span, std::string* error);
  // Removes the bookmark's start and end marks, the text kept. False when
  // there is no bookmark of that name.
  bool DeleteBookmark(std::wstring_view name);

  // The fields whose begin mark lies in `span`, in document order, nested
  // ones included.
  std::vector<FieldInfo> FieldsIn(const TextSpan& span) const;
  // Replaces the result of a field listed by FieldsIn by `text` as one run
  // (formatting of the first result run, else of the begin mark's run),
  // adding a separate mark when the field has none; "\r", "\n" and "\v"
  // become line breaks. E_INVALIDARG for text XML cannot carry,
  // E_ACCESSDENIED for a field that is no longer in the document.
  HRESULT SetFieldResult(const FieldInfo& field, std::wstring_view text, std::string* error);
  // Sets the result of every REF field beginning in `span` to the text of
  // the bookmark it names (a final paragraph or cell mark stripped); other
  // fields are kept. Returns 0, or the 1-based index among FieldsIn(span) of
  // the first REF field whose bookmark does not exist.
  int32_t UpdateFields(const TextSpan& span);

  // For callers editing the XML of a story themselves (rows, columns,
  // cells): the content that covered [start, old_end) now covers
  // [start, new_end). Re-indexes the story, adjusts live spans, marks the
  // part changed and notifies the change listener.
  void NoteReplaced(StoryIndex story, int32_t start, int32_t old_end, int32_t new_end);

 private:
  class Impl;
  struct CellBlock {
    pugi::xml_node first_row;
    pugi::xml_node last_row;
    pugi::xml_node last_cell;
    int32_t first_column = -1;
    int32_t last_column = -1;
  };
  CellBlock CellBlockOf(const Story& story, StoryIndex index, int32_t start, int32_t end) const;
  WordDocument(std::unique_ptr<office::Package> package, std::unique_ptr<Impl> impl);

  std::unique_ptr<office::Package> package_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ovc::word
