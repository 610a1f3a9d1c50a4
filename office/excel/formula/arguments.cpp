#include "office/excel/formula/arguments.h"

#include <algorithm>

namespace ovc::excel::formula {

namespace {

// The area cut to the cells the sheet uses, where it runs over whole rows
// or columns; false when nothing of it is used.
bool UsedPart(const Area& area, WorkbookView& view, Area* used) {
  int32_t last_row = 0, last_column = 0;
  view.UsedExtent(area.sheet, &last_row, &last_column);
  *used = area;
  used->bottom = std::min(area.bottom, last_row);
  used->right = std::min(area.right, last_column);
  return used->bottom >= used->top && used->right >= used->left;
}

// The shape an area is read in: whole rows and columns cut at the used
// extent, other areas as they are.
Area ReadShape(const Area& area, WorkbookView& view) {
  Area used;
  if (!UsedPart(area, view, &used)) used = {area.sheet, area.top, area.left, area.top, area.left};
  Area shape = area;
  if (area.top == 1 && area.bottom == kSheetRows) shape.bottom = used.bottom;
  if (area.left == 1 && area.right == kSheetColumns) shape.right = used.right;
  return shape;
}

}  // namespace

Value ReadReference(const std::vector<Area>& areas, const EvaluationContext& context) {
  if (areas.size() != 1) return Value::Error(ErrorCode::kValue);
  WorkbookView& view = *context.view;
  const Area area = ReadShape(areas[0], view);
  if (area.sheet < 0) return Value::Error(ErrorCode::kRef);
  const int32_t rows = area.bottom - area.top + 1;
  const int32_t columns = area.right - area.left + 1;
  if (rows == 1 && columns == 1) return view.CellValue(area.sheet, area.top, area.left);
  if (size_t(rows) * size_t(columns) > kMaxArrayCells) return Value::Error(ErrorCode::kNum);
  std::vector<Value> cells;
  cells.reserve(size_t(rows) * columns);
  for (int32_t row = area.top; row <= area.bottom; ++row) {
    for (int32_t column = area.left; column <= area.right; ++column) {
      cells.push_back(view.CellValue(area.sheet, row, column));
    }
  }
  return Value::Array(rows, columns, std::move(cells));
}

Value IntersectReference(const std::vector<Area>& areas, const EvaluationContext& context) {
  if (areas.size() != 1) return Value::Error(ErrorCode::kValue);
  const Area& area = areas[0];
  if (area.sheet < 0) return Value::Error(ErrorCode::kRef);
  int32_t row = area.top, column = area.left;
  if (area.top != area.bottom) {
    if (area.left != area.right || context.row < area.top || context.row > area.bottom) {
      return Value::Error(ErrorCode::kValue);
    }
    row = context.row;
  } else if (area.left != area.right) {
    if (context.column < area.left || context.column > area.right) {
      return Value::Error(ErrorCode::kValue);
    }
    column = context.column;
  }
  return context.view->CellValue(area.sheet, row, column);
}

Value OperandValue(const Operand& operand, const EvaluationContext& context, bool array_context) {
  if (!operand.is_reference()) return operand.value;
  return array_context || context.array_formula ? ReadReference(operand.areas, context)
                                                : IntersectReference(operand.areas, context);
}

Value Arguments::Scalar(size_t i) const {
  if (missing(i)) return Value();
  return OperandValue(operands_[i], context_, array_context_);
}

Value Arguments::Whole(size_t i) const {
  if (missing(i)) return Value();
  const Operand& operand = operands_[i];
  return operand.is_reference() ? ReadReference(operand.areas, context_) : operand.value;
}

bool Arguments::ForEach(size_t i, bool with_blanks, const Visitor& visit) const {
  if (missing(i)) return true;
  const Operand& operand = operands_[i];
  if (!operand.is_reference()) {
    if (!operand.value.is_array()) return visit(operand.value, true);
    for (const Value& cell : operand.value.array().cells) {
      if (!visit(cell, false)) return false;
    }
    return true;
  }
  WorkbookView& view = *context_.view;
  for (const Area& area : operand.areas) {
    if (area.sheet < 0) return visit(Value::Error(ErrorCode::kRef), false);
    Area used;
    if (!UsedPart(area, view, &used)) continue;
    for (int32_t row = used.top; row <= used.bottom; ++row) {
      for (int32_t column = used.left; column <= used.right; ++column) {
        const Value cell = view.CellValue(area.sheet, row, column);
        if ((with_blanks || !cell.is_blank()) && !visit(cell, false)) return false;
      }
    }
  }
  return true;
}

}  // namespace ovc::excel::formula
