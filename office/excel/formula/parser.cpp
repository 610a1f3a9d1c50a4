#include <optional>
#include <string>
#include <vector>

#include "office/excel/formula/formula.h"
#include "office/excel/formula/function_table.h"
#include "office/excel/formula/tokenizer.h"

namespace ovc::excel::formula {

namespace {

int Precedence(Operator op) {
  switch (op) {
    case Operator::kRange:
      return 9;
    case Operator::kIntersection:
      return 8;
    case Operator::kUnion:
      return 7;
    case Operator::kNegate:
    case Operator::kPlus:
      return 6;
    case Operator::kPercent:
      return 5;
    case Operator::kPower:
      return 4;
    case Operator::kMultiply:
    case Operator::kDivide:
      return 3;
    case Operator::kAdd:
    case Operator::kSubtract:
      return 2;
    case Operator::kConcatenate:
      return 1;
    default:
      return 0;
  }
}

std::optional<Operator> BinaryOperator(std::string_view text) {
  static constexpr std::pair<std::string_view, Operator> kOperators[] = {
      {":", Operator::kRange},        {"^", Operator::kPower},      {"*", Operator::kMultiply},
      {"/", Operator::kDivide},       {"+", Operator::kAdd},        {"-", Operator::kSubtract},
      {"&", Operator::kConcatenate},  {"=", Operator::kEqual},      {"<>", Operator::kNotEqual},
      {"<", Operator::kLess},         {"<=", Operator::kLessEqual}, {">", Operator::kGreater},
      {">=", Operator::kGreaterEqual}};
  for (const auto& [spelling, op] : kOperators) {
    if (spelling == text) return op;
  }
  return std::nullopt;
}

// An open parenthesis: a function call's or a group's (the formula itself
// is the outermost group).
struct Frame {
  bool call = false;
  int32_t function = -1;
  std::string name;
  uint16_t arguments = 0;
  size_t operators_base = 0;  // operators below belong to enclosing frames
  bool array_arguments = false;
};

// Postfix conversion with an operator stack (shunting-yard).
class Parser {
 public:
  explicit Parser(std::string_view text) : tokenizer_(text) { frames_.push_back({}); }

  bool Run(Formula* formula, std::string* error) {
    for (;;) {
      Token token;
      if (!tokenizer_.Next(&token, error)) return false;
      position_ = token.position;
      if (token.kind == Token::Kind::kEnd) break;
      const Token::Kind kind = token.kind;
      if (!Take(std::move(token), error)) return false;
      previous_ = kind;
    }
    if (expect_operand_) return Fail("formula ends where an operand is expected", error);
    PopOperators(0);
    if (frames_.size() > 1) return Fail("missing ')'", error);
    formula->nodes = std::move(output_);
    formula->is_volatile = volatile_;
    formula->has_names = has_names_;
    return true;
  }

 private:
  bool Fail(std::string_view what, std::string* error) const {
    *error = std::string(what) + " at " + std::to_string(position_ + 1);
    return false;
  }

  bool Take(Token token, std::string* error) {
    switch (token.kind) {
      case Token::Kind::kOperand:
        if (!BeginOperand(token, error)) return false;
        has_names_ |= token.node.kind == Node::Kind::kName || token.node.kind == Node::Kind::kTable;
        Emit(std::move(token.node));
        expect_operand_ = false;
        return true;
      case Token::Kind::kFunction:
      case Token::Kind::kOpen:
        return BeginOperand(token, error) && Open(token, error);
      case Token::Kind::kClose:
        return Close(error);
      case Token::Kind::kComma:
        return Comma(error);
      default:
        return Operate(token.text, error);
    }
  }

  // Two operands side by side with blanks between intersect.
  bool BeginOperand(const Token& token, std::string* error) {
    if (expect_operand_) return true;
    if (!token.space_before) return Fail("operator expected", error);
    PushBinary(Operator::kIntersection);
    return true;
  }

  bool Open(const Token& token, std::string* error) {
    if (frames_.size() > kMaxNesting) {
      return Fail("nested more than " + std::to_string(kMaxNesting) + " levels deep", error);
    }
    Frame frame;
    frame.operators_base = operators_.size();
    frame.array_arguments = frames_.back().array_arguments;
    if (token.kind == Token::Kind::kFunction) {
      frame.call = true;
      frame.name = token.text;
      frame.function = FindFunction(token.text);
      if (frame.function >= 0) {
        const uint8_t flags = FunctionAt(frame.function).flags;
        volatile_ |= (flags & kVolatile) != 0;
        frame.array_arguments |= (flags & kArrayArguments) != 0;
      }
    }
    frames_.push_back(std::move(frame));
    expect_operand_ = true;
    return true;
  }

  bool Close(std::string* error) {
    if (frames_.size() == 1) return Fail("')' without '('", error);
    Frame& frame = frames_.back();
    if (!frame.call) {
      if (expect_operand_) return Fail("operand expected", error);
    } else if (previous_ != Token::Kind::kFunction) {
      if (!EndArgument(error)) return false;
    }
    PopOperators(frame.operators_base);
    Frame closed = std::move(frame);
    frames_.pop_back();
    expect_operand_ = false;
    if (!closed.call) return true;
    return Call(closed, error);
  }

  bool Call(const Frame& frame, std::string* error) {
    if (frame.function >= 0) {
      const FunctionSpec& spec = FunctionAt(frame.function);
      if (frame.arguments < spec.min_arguments ||
          (spec.max_arguments != kManyArguments && frame.arguments > spec.max_arguments)) {
        return Fail(
            std::string(spec.name) + " given " + std::to_string(frame.arguments) + " arguments",
            error);
      }
    }
    Node node;
    node.kind = Node::Kind::kCall;
    node.function = frame.function;
    node.arguments = frame.arguments;
    node.text = frame.name;
    Emit(std::move(node));
    return true;
  }

  bool EndArgument(std::string* error) {
    Frame& frame = frames_.back();
    if (frame.arguments == kManyArguments) return Fail("too many arguments", error);
    PopOperators(frame.operators_base);
    if (expect_operand_) {
      // Only an argument with nothing in it is left out: "F(,1)", not "F(1+,2)".
      if (previous_ != Token::Kind::kFunction && previous_ != Token::Kind::kComma) {
        return Fail("operand expected", error);
      }
      Node missing;
      missing.kind = Node::Kind::kMissing;
      Emit(std::move(missing));
    }
    ++frame.arguments;
    return true;
  }

  bool Comma(std::string* error) {
    if (frames_.back().call) {
      if (!EndArgument(error)) return false;
      expect_operand_ = true;
      return true;
    }
    if (expect_operand_) return Fail("operand expected", error);
    PushBinary(Operator::kUnion);
    return true;
  }

  bool Operate(const std::string& text, std::string* error) {
    if (expect_operand_) {
      if (text != "-" && text != "+") return Fail("operand expected", error);
      operators_.push_back(text == "-" ? Operator::kNegate : Operator::kPlus);
      return true;
    }
    if (text == "%") {
      PopWhile([](Operator top) { return Precedence(top) > Precedence(Operator::kPercent); });
      EmitOperator(Operator::kPercent);
      return true;
    }
    const std::optional<Operator> op = BinaryOperator(text);
    if (!op) return Fail("unknown operator", error);
    PushBinary(*op);
    return true;
  }

  void PushBinary(Operator op) {
    const int precedence = Precedence(op);
    PopWhile([precedence](Operator top) { return Precedence(top) >= precedence; });
    operators_.push_back(op);
    expect_operand_ = true;
  }

  template <typename Condition>
  void PopWhile(Condition condition) {
    while (operators_.size() > frames_.back().operators_base && condition(operators_.back())) {
      EmitOperator(operators_.back());
      operators_.pop_back();
    }
  }

  void PopOperators(size_t base) {
    while (operators_.size() > base) {
      EmitOperator(operators_.back());
      operators_.pop_back();
    }
  }

  void EmitOperator(Operator op) {
    Node node;
    node.kind = Node::Kind::kOperator;
    node.op = op;
    Emit(std::move(node));
  }

  void Emit(Node node) {
    node.array_context = frames_.back().array_arguments;
    output_.push_back(std::move(node));
  }

  Tokenizer tokenizer_;
  std::vector<Frame> frames_;
  std::vector<Operator> operators_;
  std::vector<Node> output_;
  size_t position_ = 0;
  bool expect_operand_ = true;
  Token::Kind previous_ = Token::Kind::kEnd;
  bool volatile_ = false;
  bool has_names_ = false;
};

}  // namespace

bool ParseFormula(std::string_view text, Formula* formula, std::string* error) {
  if (text.size() > kMaxFormulaBytes) {
    *error = "formula longer than " + std::to_string(kMaxFormulaBytes) + " bytes";
    return false;
  }
  return Parser(text).Run(formula, error);
}

}  // namespace ovc::excel::formula
