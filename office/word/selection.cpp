#include "office/word/selection.h"

#include <algorithm>
#include <utility>

#include "automation/conversion.h"
#include "office/word/document.h"
#include "office/word/form_fields.h"
#include "office/word/range.h"
#include "office/word/table_grid.h"

namespace ovc::word {
namespace {

// Units of MoveRight and MoveDown.
constexpr int32_t kCharacter = 1;
constexpr int32_t kWord = 2;
constexpr int32_t kParagraph = 4;
constexpr int32_t kLine = 5;
constexpr int32_t kScreenLine = 10;
constexpr int32_t kCell = 12;

// An optional whole-number argument: `fallback` when missing; false when it
// is no number.
bool OptionalNumber(const Variant& argument, int32_t fallback, int32_t* value) {
  if (argument.IsMissing()) {
    *value = fallback;
    return true;
  }
  Variant number;
  if (Failed(VariantChangeType(&number, argument.Dereferenced(), 0, VT_I4))) return false;
  *value = number.i4();
  return true;
}

// Whether `unit` steps over cells when the selection holds whole cells.
bool MovesOverCells(int32_t unit, bool right) {
  return right ? unit == kCharacter || unit == kWord || unit == kCell
               : unit == kLine || unit == kScreenLine;
}

}  // namespace

Selection::Selection(std::shared_ptr<ApplicationState> application)
    : application_(std::move(application)) {}

HRESULT Selection::get_FormFields(IDispatch** form_fields) {
  TextSpan span;
  Document* document = application_->Selection(&span);
  if (document == nullptr) return Fail(DISP_E_BADINDEX, "Selection: no document is open");
  *form_fields = MakeObject<FormFields>(ComPtr<Document>(document), span).Detach();
  return S_OK;
}

HRESULT Selection::MoveRight(const Variant& unit, const Variant& count, const Variant& extend,
                             int32_t* moved) {
  return Step(Direction::kRight, unit, count, extend, moved);
}

HRESULT Selection::MoveDown(const Variant& unit, const Variant& count, const Variant& extend,
                            int32_t* moved) {
  return Step(Direction::kDown, unit, count, extend, moved);
}

HRESULT Selection::get_Range(IDispatch** range) {
  TextSpan span;
  Document* document = application_->Selection(&span);
  if (document == nullptr) return Fail(DISP_E_BADINDEX, "Selection: no document is open");
  *range = MakeObject<Range>(ComPtr<Document>(document), span).Detach();
  return S_OK;
}

HRESULT Selection::Step(Direction direction, const Variant& unit, const Variant& count,
                        const Variant& extend, int32_t* moved) {
  Move move{direction};
  int32_t extend_flag = 0;
  if (!OptionalNumber(unit, kCharacter, &move.unit) || !OptionalNumber(count, 1, &move.count) ||
      !OptionalNumber(extend, 0, &extend_flag)) {
    return Fail(DISP_E_TYPEMISMATCH, "Selection: Unit, Count and Extend are numbers");
  }
  if (move.count < 0 || (extend_flag != 0 && extend_flag != 1)) {
    return Fail(E_INVALIDARG, "Selection: Count must not be negative and Extend is 0 or 1");
  }
  move.extend = extend_flag == 1;
  TextSpan span;
  Document* document = application_->Selection(&span);
  if (document == nullptr) return Fail(DISP_E_BADINDEX, "Selection: no document is open");
  const WordDocument& model = document->model();
  const bool right = direction == Direction::kRight;
  if (!(MovesOverCells(move.unit, right) && StepCells(model, move, &span, moved))) {
    if (move.unit != (right ? kCharacter : kParagraph)) {
      return Fail(E_NOTIMPL,
                  "Selection: unit " + std::to_string(move.unit) + " is not supported here");
    }
    *moved = StepText(model, move, &span);
  }
  application_->Select(ComPtr<Document>(document), span);
  return S_OK;
}

bool Selection::StepCells(const WordDocument& model, const Move& move, TextSpan* span,
                          int32_t* moved) {
  if (span->end <= span->start) return false;
  const pugi::xml_node first = model.InnermostAt(span->story, span->start, "tc");
  const pugi::xml_node last = model.InnermostAt(span->story, span->end - 1, "tc");
  const pugi::xml_node table = TableOf(first);
  if (!first || !last || table != TableOf(last) || model.SpanOf(first).start != span->start ||
      model.SpanOf(last).end != span->end) {
    return false;
  }
  const TableGrid grid(table);
  int32_t row = 0;
  int32_t column = 0;
  if (!grid.Locate(last, &row, &column)) return false;
  *moved = move.direction == Direction::kRight ? grid.StepRight(&row, &column, move.count)
                                               : grid.StepDown(&row, &column, move.count);
  const TextSpan reached = model.SpanOf(grid.Cell(row, column));
  *span = move.extend ? TextSpan{span->story, span->start, reached.end} : reached;
  return true;
}

int32_t Selection::StepText(const WordDocument& model, const Move& move, TextSpan* span) {
  const int32_t last = model.story_length(span->story) - 1;
  int32_t at = span->end;
  int32_t moved = 0;
  while (moved < move.count && at < last) {
    if (move.direction == Direction::kRight) {
      ++at;
    } else {
      const pugi::xml_node paragraph = model.InnermostAt(span->story, at, "p");
      if (!paragraph) break;
      at = std::min(model.SpanOf(paragraph).end, last);
    }
    ++moved;
  }
  *span = TextSpan{span->story, move.extend ? span->start : at, at};
  return moved;
}

}  // namespace ovc::word
