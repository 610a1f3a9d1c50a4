#include "office/excel/formula/evaluator.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>
#include <vector>

#include "automation/text.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

// The most nodes a formula may grow to when its names are expanded.
constexpr size_t kMaxExpandedNodes = 1 << 16;

Value ElementAt(const Value& value, int32_t row, int32_t column) {
  if (!value.is_array()) return value;
  const ArrayData& array = value.array();
  const int32_t r = array.rows == 1 ? 0 : row;
  const int32_t c = array.columns == 1 ? 0 : column;
  if (r >= array.rows || c >= array.columns) return Value::Error(ErrorCode::kNA);
  return array.At(r, c);
}

// Applies `apply` to the values, or element by element when some are
// arrays: the result has the largest rows and columns among them; a
// single row or column repeats, other missing elements are #N/A.
template <typename Apply>
Value Lift(std::span<const Value> values, Apply apply) {
  int32_t rows = 0, columns = 0;
  for (const Value& value : values) {
    if (!value.is_array()) continue;
    rows = std::max(rows, value.array().rows);
    columns = std::max(columns, value.array().columns);
  }
  if (rows == 0) return apply(values);
  if (size_t(rows) * size_t(columns) > kMaxArrayCells) return Value::Error(ErrorCode::kNum);
  std::vector<Value> cells;
  cells.reserve(size_t(rows) * columns);
  std::vector<Value> element(values.size());
  for (int32_t row = 0; row < rows; ++row) {
    for (int32_t column = 0; column < columns; ++column) {
      for (size_t i = 0; i < values.size(); ++i) element[i] = ElementAt(values[i], row, column);
      cells.push_back(apply(std::span<const Value>(element)));
    }
  }
  return Value::Array(rows, columns, std::move(cells));
}

Value Arithmetic(Operator op, const Value& left, const Value& right) {
  const Value a = ToNumber(left);
  if (a.is_error()) return a;
  const Value b = ToNumber(right);
  if (b.is_error()) return b;
  const double x = a.number();
  const double y = b.number();
  switch (op) {
    case Operator::kAdd:
      return Value::Number(x + y);
    case Operator::kSubtract:
      return Value::Number(x - y);
    case Operator::kMultiply:
      return Value::Number(x * y);
    case Operator::kDivide:
      return y == 0 ? Value::Error(ErrorCode::kDiv0) : Value::Number(x / y);
    default:  // kPower
      if (x == 0 && y <= 0) return Value::Error(y == 0 ? ErrorCode::kNum : ErrorCode::kDiv0);
      return Value::Number(std::pow(x, y));
  }
}

Value Comparison(Operator op, const Value& left, const Value& right) {
  if (left.is_error()) return left;
  if (right.is_error()) return right;
  const int order = Compare(left, right);
  switch (op) {
    case Operator::kEqual:
      return Value::Boolean(order == 0);
    case Operator::kNotEqual:
      return Value::Boolean(order != 0);
    case Operator::kLess:
      return Value::Boolean(order < 0);
    case Operator::kLessEqual:
      return Value::Boolean(order <= 0);
    case Operator::kGreater:
      return Value::Boolean(order > 0);
    default:
      return Value::Boolean(order >= 0);
  }
}

Value Concatenation(const Value& left, const Value& right) {
  const Value a = ToText(left);
  if (a.is_error()) return a;
  const Value b = ToText(right);
  if (b.is_error()) return b;
  if (a.text().size() + b.text().size() > kMaxTextBytes) return Value::Error(ErrorCode::kValue);
  return Value::Text(a.text() + b.text());
}

Value ScalarOperation(Operator op, std::span<const Value> values) {
  switch (op) {
    case Operator::kNegate:
    case Operator::kPlus:
    case Operator::kPercent: {
      const Value number = ToNumber(values[0]);
      if (number.is_error()) return number;
      if (op == Operator::kPlus) return values[0];
      return Value::Number(op == Operator::kNegate ? -number.number() : number.number() / 100);
    }
    case Operator::kConcatenate:
      return Concatenation(values[0], values[1]);
    case Operator::kAdd:
    case Operator::kSubtract:
    case Operator::kMultiply:
    case Operator::kDivide:
    case Operator::kPower:
      return Arithmetic(op, values[0], values[1]);
    default:
      return Comparison(op, values[0], values[1]);
  }
}

// The reference operators: range, intersection and union of areas.
Operand ReferenceOperation(Operator op, const Operand& left, const Operand& right) {
  if (!left.is_reference() || !right.is_reference()) return Value::Error(ErrorCode::kValue);
  if (op == Operator::kUnion) {
    Operand both = left;
    both.areas.insert(both.areas.end(), right.areas.begin(), right.areas.end());
    return both;
  }
  if (left.areas.size() != 1 || right.areas.size() != 1 ||
      left.areas[0].sheet != right.areas[0].sheet) {
    return Value::Error(ErrorCode::kValue);
  }
  const Area& a = left.areas[0];
  const Area& b = right.areas[0];
  Operand result;
  if (op == Operator::kRange) {
    result.areas.push_back({a.sheet, std::min(a.top, b.top), std::min(a.left, b.left),
                            std::max(a.bottom, b.bottom), std::max(a.right, b.right)});
    return result;
  }
  const Area overlap{a.sheet, std::max(a.top, b.top), std::max(a.left, b.left),
                     std::min(a.bottom, b.bottom), std::min(a.right, b.right)};
  if (overlap.top > overlap.bottom || overlap.left > overlap.right) {
    return Value::Error(ErrorCode::kNull);
  }
  result.areas.push_back(overlap);
  return result;
}

bool IsUnary(Operator op) {
  return op == Operator::kNegate || op == Operator::kPlus || op == Operator::kPercent;
}
bool IsReferenceOperator(Operator op) {
  return op == Operator::kRange || op == Operator::kIntersection || op == Operator::kUnion;
}

void NoteProblem(std::string problem, std::string* out) {
  if (out->empty()) *out = std::move(problem);
}

Operand CallFunction(const Node& node, std::span<const Operand> operands,
                     const EvaluationContext& context, std::string* problem) {
  if (node.function < 0) {
    NoteProblem("unknown function " + ToUtf8(ToUpper(FromUtf8(node.text))), problem);
    return Value::Error(ErrorCode::kName);
  }
  const FunctionSpec& spec = FunctionAt(node.function);
  const bool array_context = node.array_context || (spec.flags & kArrayArguments) != 0;
  const Arguments arguments(operands, context, array_context);
  if (spec.raw) return spec.raw(arguments);
  std::vector<Value> values;
  values.reserve(operands.size());
  for (size_t i = 0; i < operands.size(); ++i) values.push_back(arguments.Scalar(i));
  if ((spec.flags & kDated) != 0) values.push_back(Value::Number(context.view->DateOffset()));
  const bool takes_errors = (spec.flags & kTakesErrors) != 0;
  return Lift(values, [&spec, takes_errors](std::span<const Value> scalars) {
    if (!takes_errors) {
      for (const Value& scalar : scalars) {
        if (scalar.is_error()) return scalar;
      }
    }
    return spec.scalar(scalars);
  });
}

// The sheet a reference node names, seen from the formula's `sheet`.
int32_t SheetOf(const Node& node, WorkbookView& view, int32_t sheet) {
  if (node.area.sheet >= 0) return node.area.sheet;
  return node.sheet_given ? view.SheetIndex(node.text) : sheet;
}

Operand Reference(const Node& node, const EvaluationContext& context) {
  Operand operand;
  operand.areas.push_back(node.area);
  Area& area = operand.areas.back();
  area.sheet = SheetOf(node, *context.view, context.sheet);
  if (area.sheet < 0) return Value::Error(ErrorCode::kRef);
  return operand;
}

Operand Operate(const Node& node, std::vector<Operand>* stack, const EvaluationContext& context) {
  const size_t count = IsUnary(node.op) ? 1 : 2;
  const std::span<const Operand> operands(stack->data() + stack->size() - count, count);
  if (IsReferenceOperator(node.op)) return ReferenceOperation(node.op, operands[0], operands[1]);
  Value values[2];
  for (size_t i = 0; i < count; ++i) {
    values[i] = OperandValue(operands[i], context, node.array_context);
  }
  return Lift(std::span<const Value>(values, count), [&node](std::span<const Value> scalars) {
    return ScalarOperation(node.op, scalars);
  });
}

// The defined name a name node spells, and the sheet it is looked up from.
void NameAndScope(const Node& node, WorkbookView& view, int32_t sheet, std::string* name,
                  int32_t* scope) {
  *name = node.text;
  *scope = sheet;
  if (!node.sheet_given) return;
  const size_t bang = node.text.rfind('!');
  *scope = view.SheetIndex(std::string_view(node.text).substr(0, bang));
  *name = node.text.substr(bang + 1);
}

std::string NameProblem(const std::string& name, bool known, size_t expansions,
                        const std::string& error) {
  if (!known) return "unknown name " + name;
  if (expansions > kMaxNameExpansions) return "name " + name + " refers to itself";
  if (!error.empty()) return "name " + name + " cannot be read: " + error;
  return "name " + name + " expands to too large a formula";
}

// The reference a structured reference node names, seen from the formula's
// row: #REF! when the workbook has no such table, column or row band,
// #VALUE! for "#This Row" outside the table's data rows.
Node TableReference(const Node& node, WorkbookView& view, int32_t row, std::string* problem) {
  Node resolved;
  resolved.array_context = node.array_context;
  StructuredReference reference;
  ParseStructuredReference(node.text, false, &reference);  // read by the tokenizer already
  const bool this_row = std::exchange(reference.this_row, false);
  Area area;
  std::string why;
  if (!view.TableArea(reference, &area, &why)) {
    NoteProblem(node.text + ": " + why, problem);
    resolved.constant = Value::Error(ErrorCode::kRef);
  } else if (this_row && (row < area.top || row > area.bottom)) {
    resolved.constant = Value::Error(ErrorCode::kValue);
  } else {
    if (this_row) area.top = area.bottom = row;
    resolved.kind = Node::Kind::kReference;
    resolved.area = area;
  }
  return resolved;
}

}  // namespace

Formula ExpandNames(const Formula& formula, WorkbookView& view, int32_t sheet, int32_t row,
                    std::string* problem) {
  Formula expanded = formula;
  std::vector<Node>& nodes = expanded.nodes;
  size_t expansions = 0;
  for (size_t i = 0; i < nodes.size();) {
    if (nodes[i].kind == Node::Kind::kTable) {
      nodes[i] = TableReference(nodes[i], view, row, problem);
      ++i;
      continue;
    }
    if (nodes[i].kind != Node::Kind::kName) {
      ++i;
      continue;
    }
    std::string name, text, error;
    int32_t scope = sheet;
    NameAndScope(nodes[i], view, sheet, &name, &scope);
    Formula target;
    const bool known = scope >= 0 && view.NameFormula(name, scope, &text);
    if (!known || ++expansions > kMaxNameExpansions || !ParseFormula(text, &target, &error) ||
        nodes.size() + target.nodes.size() > kMaxExpandedNodes) {
      NoteProblem(NameProblem(nodes[i].text, known, expansions, error), problem);
      nodes[i] = Node();
      nodes[i].constant = Value::Error(ErrorCode::kName);
      ++i;
      continue;
    }
    const bool array_context = nodes[i].array_context;
    for (Node& node : target.nodes) node.array_context |= array_context;
    expanded.is_volatile |= target.is_volatile;
    nodes.erase(nodes.begin() + i);
    nodes.insert(nodes.begin() + i, target.nodes.begin(), target.nodes.end());
  }
  expanded.has_names = false;
  return expanded;
}

std::vector<Area> ReferencedAreas(const Formula& formula, WorkbookView& view, int32_t sheet) {
  std::vector<Area> areas;
  for (const Node& node : formula.nodes) {
    if (node.kind != Node::Kind::kReference) continue;
    Area area = node.area;
    area.sheet = SheetOf(node, view, sheet);
    if (area.sheet >= 0) areas.push_back(area);
  }
  return areas;
}

Value Evaluate(const Formula& formula, const EvaluationContext& context, std::string* problem) {
  Formula expanded;
  if (formula.has_names) {
    expanded = ExpandNames(formula, *context.view, context.sheet, context.row, problem);
  }
  std::vector<Operand> stack;
  for (const Node& node : formula.has_names ? expanded.nodes : formula.nodes) {
    switch (node.kind) {
      case Node::Kind::kConstant:
        stack.emplace_back(node.constant);
        break;
      case Node::Kind::kReference:
        stack.push_back(Reference(node, context));
        break;
      case Node::Kind::kName:
        stack.emplace_back(Value::Error(ErrorCode::kName));
        break;
      case Node::Kind::kTable:  // resolved by ExpandNames
        stack.emplace_back(Value::Error(ErrorCode::kRef));
        break;
      case Node::Kind::kMissing:
        stack.emplace_back().missing = true;
        break;
      case Node::Kind::kOperator: {
        Operand result = Operate(node, &stack, context);
        stack.resize(stack.size() - (IsUnary(node.op) ? 1 : 2));
        stack.push_back(std::move(result));
        break;
      }
      case Node::Kind::kCall: {
        const std::span<const Operand> arguments(stack.data() + stack.size() - node.arguments,
                                                 node.arguments);
        Operand result = CallFunction(node, arguments, context, problem);
        stack.resize(stack.size() - node.arguments);
        stack.push_back(std::move(result));
        break;
      }
    }
  }
  if (stack.size() != 1) return Value::Error(ErrorCode::kValue);
  const Operand& result = stack.back();
  if (result.missing) return Value();
  const Value value = OperandValue(result, context, false);
  // One cell shows the first element of an array it does not fill.
  return value.is_array() && !context.array_formula ? value.array().cells[0] : value;
}

}  // namespace ovc::excel::formula
