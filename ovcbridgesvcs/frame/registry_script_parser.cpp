// RegistryScript::Parse: the reader of the registrar's script syntax.
#include <array>
#include <stdexcept>
#include <string>
#include <utility>

#include "automation/error_info.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/registry_script.h"

namespace ovc {
namespace {

struct ParseError {
  size_t line;
  std::wstring what;
};

struct Token {
  enum class Kind { kWord, kQuoted, kOpen, kClose, kEquals, kEnd };
  Kind kind = Kind::kEnd;
  std::wstring text;
  size_t line = 0;

  bool IsName() const { return kind == Kind::kWord || kind == Kind::kQuoted; }
  // A bare word equal to `keyword` without regard to case.
  bool Is(std::wstring_view keyword) const {
    return kind == Kind::kWord && EqualsNoCase(text, keyword);
  }
};

struct RootName {
  std::wstring_view short_name;
  std::wstring_view long_name;
};

constexpr std::array kRootNames = {
    RootName{L"HKCR", L"HKEY_CLASSES_ROOT"},
    RootName{L"HKCU", L"HKEY_CURRENT_USER"},
    RootName{L"HKLM", L"HKEY_LOCAL_MACHINE"},
    RootName{L"HKU", L"HKEY_USERS"},
};

// Splits a script into tokens, replacing variables inside words and quoted
// texts.
class Lexer {
 public:
  Lexer(std::wstring_view text, const RegistryScript::Variables& variables)
      : text_(text), variables_(variables) {}

  Token Next() {
    SkipSpace();
    Token token;
    token.line = line_;
    if (position_ == text_.size()) return token;
    const wchar_t c = text_[position_];
    if (c == L'{' || c == L'}' || c == L'=') {
      ++position_;
      token.kind =
          c == L'{' ? Token::Kind::kOpen : (c == L'}' ? Token::Kind::kClose : Token::Kind::kEquals);
      token.text = c;
      return token;
    }
    if (c == L'\'') {
      token.kind = Token::Kind::kQuoted;
      token.text = Expand(ReadQuoted(), token.line);
    } else {
      token.kind = Token::Kind::kWord;
      token.text = Expand(ReadWord(), token.line);
    }
    return token;
  }

 private:
  void SkipSpace() {
    while (position_ < text_.size() && IsBlankOrFeed(text_[position_])) {
      if (text_[position_] == L'\n') ++line_;
      ++position_;
    }
  }

  std::wstring ReadWord() {
    const size_t start = position_;
    while (position_ < text_.size() && !IsBlankOrFeed(text_[position_]) &&
           std::wstring_view(L"{}='").find(text_[position_]) == std::wstring_view::npos) {
      ++position_;
    }
    return std::wstring(text_.substr(start, position_ - start));
  }

  std::wstring ReadQuoted() {
    const size_t start_line = line_;
    std::wstring raw;
    ++position_;
    while (position_ < text_.size()) {
      const wchar_t c = text_[position_++];
      if (c == L'\n') ++line_;
      if (c != L'\'') {
        raw += c;
      } else if (position_ < text_.size() && text_[position_] == L'\'') {
        raw += c;
        ++position_;
      } else {
        return raw;
      }
    }
    throw ParseError{start_line, L"a quoted text is not closed"};
  }

  std::wstring Expand(std::wstring_view raw, size_t line) const {
    std::wstring out;
    size_t position = 0;
    while (position < raw.size()) {
      const size_t open = raw.find(L'%', position);
      out.append(raw.substr(position, open - position));
      if (open == std::wstring_view::npos) break;
      const size_t close = raw.find(L'%', open + 1);
      if (close == std::wstring_view::npos) throw ParseError{line, L"a variable is not closed"};
      const std::wstring_view name = raw.substr(open + 1, close - open - 1);
      if (name.empty()) {
        out += L'%';
      } else {
        const auto found = variables_.find(name);
        if (found == variables_.end()) {
          throw ParseError{line, L"unknown variable %" + std::wstring(name) + L"%"};
        }
        out += found->second;
      }
      position = close + 1;
    }
    return out;
  }

  std::wstring_view text_;
  const RegistryScript::Variables& variables_;
  size_t position_ = 0;
  size_t line_ = 1;
};

class Parser {
 public:
  Parser(std::wstring_view text, const RegistryScript::Variables& variables)
      : lexer_(text, variables) {
    Advance();
  }

  std::vector<RegistryScript::Key> Script() {
    std::vector<RegistryScript::Key> roots;
    while (current_.kind != Token::Kind::kEnd) roots.push_back(Root());
    return roots;
  }

 private:
  Token Advance() { return std::exchange(current_, lexer_.Next()); }

  void Expect(Token::Kind kind, std::wstring_view what) {
    if (current_.kind != kind) Fail(L"expected " + std::wstring(what));
    Advance();
  }

  [[noreturn]] void Fail(std::wstring what) const { throw ParseError{current_.line, what}; }

  RegistryScript::Key Root() {
    RegistryScript::Key root;
    root.removal = RegistryScript::Removal::kNoRemove;
    for (const RootName& name : kRootNames) {
      if (current_.Is(name.short_name) || current_.Is(name.long_name)) root.name = name.long_name;
    }
    if (root.name.empty()) Fail(L"unknown root key '" + current_.text + L"'");
    Advance();
    Expect(Token::Kind::kOpen, L"'{' after the root key");
    Block(&root);
    return root;
  }

  // The entries of a block up to its closing brace, which is consumed.
  void Block(RegistryScript::Key* key) {
    while (current_.kind != Token::Kind::kClose) {
      if (current_.kind == Token::Kind::kEnd) Fail(L"expected '}'");
      if (current_.Is(L"val")) {
        Advance();
        RegistryValue value;
        value.name = Name();
        Expect(Token::Kind::kEquals, L"'=' after the value name");
        value.data = TypedValue();
        key->values.push_back(std::move(value));
      } else {
        key->subkeys.push_back(Subkey());
      }
    }
    Advance();
  }

  RegistryScript::Key Subkey() {
    RegistryScript::Key key;
    if (current_.Is(L"ForceRemove")) {
      key.removal = RegistryScript::Removal::kForceRemove;
    } else if (current_.Is(L"NoRemove")) {
      key.removal = RegistryScript::Removal::kNoRemove;
    } else if (current_.Is(L"Delete")) {
      key.removal = RegistryScript::Removal::kDelete;
    }
    if (key.removal != RegistryScript::Removal::kNormal) Advance();
    key.name = Name();
    if (key.name.empty() || key.name.find(L'\\') != std::wstring::npos) {
      Fail(L"'" + key.name + L"' is not a key name");
    }
    if (current_.kind == Token::Kind::kEquals) {
      Advance();
      key.default_value = TypedValue();
    }
    if (current_.kind == Token::Kind::kOpen) {
      Advance();
      Block(&key);
    }
    return key;
  }

  std::wstring Name() {
    if (!current_.IsName()) Fail(L"expected a name");
    return Advance().text;
  }

  // "s text" or "d number"; a number is kept in decimal.
  std::wstring TypedValue() {
    const Token type = Advance();
    if (!current_.IsName()) Fail(L"expected a value after the type");
    if (type.Is(L"s")) return Advance().text;
    if (type.Is(L"d")) return Number(Advance());
    throw ParseError{type.line, L"unsupported value type '" + type.text + L"'"};
  }

  static std::wstring Number(const Token& token) {
    try {
      size_t used = 0;
      const unsigned long value = std::stoul(token.text, &used, 0);
      if (used == token.text.size() && value <= 0xFFFFFFFFul) return std::to_wstring(value);
    } catch (const std::logic_error&) {
    }
    throw ParseError{token.line, L"'" + token.text + L"' is not a number"};
  }

  Lexer lexer_;
  Token current_;
};

}  // namespace

HRESULT RegistryScript::Parse(std::wstring_view text, const Variables& variables,
                              RegistryScript* script) {
  if (script == nullptr) return E_POINTER;
  try {
    script->roots_ = Parser(text, variables).Script();
    return S_OK;
  } catch (const ParseError& error) {
    return SetErrorResult(
        E_INVALIDARG, L"Registry script line " + std::to_wstring(error.line) + L": " + error.what,
        L"RegistryScript");
  }
}

}  // namespace ovc
