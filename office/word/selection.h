#pragma once

#include <memory>
#include <string>

#include "office/word/application_state.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The Application's one live selection (ApplicationState::Selection), kept
// in memory only: it is never drawn and never written to a file. Fails with
// RPC_E_DISCONNECTED once the application quit, DISP_E_BADINDEX while no
// document is open.
class Selection final : public WordObject<ISelection> {
 public:
  explicit Selection(std::shared_ptr<ApplicationState> application);

  HRESULT get_FormFields(IDispatch** form_fields) override;
  // From a selection of whole table cells, Unit 1, 2 or 12 steps over the
  // cells of the table row by row (MoveRight) and Unit 5 or 10 down its
  // columns (MoveDown): Extend 1 widens the selection to the cell reached,
  // Extend 0 (the default) selects that cell. Elsewhere MoveRight Unit 1
  // moves by characters and MoveDown Unit 4 by paragraphs, Extend 1 moving
  // only the end. Count defaults to 1. *moved is the units moved, fewer at
  // an edge. E_NOTIMPL for another unit, E_INVALIDARG for a negative Count
  // or an Extend other than 0 and 1.
  HRESULT MoveRight(const Variant& unit, const Variant& count, const Variant& extend,
                    int32_t* moved) override;
  HRESULT MoveDown(const Variant& unit, const Variant& count, const Variant& extend,
                   int32_t* moved) override;
  // A Range over the selection as it is now.
  HRESULT get_Range(IDispatch** range) override;

  std::string Disconnected() const override { return application_->Disconnected(); }

 private:
  enum class Direction { kRight, kDown };
  struct Move {
    Direction direction;
    int32_t unit = 1;
    int32_t count = 1;
    bool extend = false;
  };

  HRESULT Step(Direction direction, const Variant& unit, const Variant& count,
               const Variant& extend, int32_t* moved);
  // Moves over table cells when *span selects whole cells; false otherwise.
  static bool StepCells(const WordDocument& model, const Move& move, TextSpan* span,
                        int32_t* moved);
  // Moves by characters or paragraphs.
  static int32_t StepText(const WordDocument& model, const Move& move, TextSpan* span);

  std::shared_ptr<ApplicationState> application_;
};

}  // namespace ovc::word
