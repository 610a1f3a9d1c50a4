#include "orvan/service/stored_document.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "automation/text.h"

namespace ovc::orvan {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\"?>";
constexpr std::string_view kRootStart = "<Bridge";
constexpr std::string_view kRootEnd = "</Bridge>";
constexpr size_t kNotWritten = 0;  // a scan's answer for text the writer does not make

enum class Context { kText, kAttribute };
enum class TagKind { kStart, kEnd, kEmpty };

// Bytes the writer copies as they are: everything but markup, escapes and
// control characters (text keeps tabs and line feeds; a carriage return
// would not come back from the parser).
using ByteTable = std::array<bool, 256>;

constexpr ByteTable PlainBytes(Context context) {
  ByteTable plain{};
  for (int c = 32; c < 256; ++c) plain[c] = c != '<' && c != '&';
  plain['"'] = context == Context::kText;
  plain['>'] = context == Context::kAttribute;
  plain['\t'] = plain['\n'] = context == Context::kText;
  return plain;
}

constexpr ByteTable kPlainText = PlainBytes(Context::kText);
constexpr ByteTable kPlainAttribute = PlainBytes(Context::kAttribute);

constexpr ByteTable NameBytes() {
  ByteTable name{};
  for (int c = 0x80; c < 256; ++c) name[c] = true;
  for (int c = '0'; c <= '9'; ++c) name[c] = true;
  for (int c = 'a'; c <= 'z'; ++c) name[c] = name[c - 'a' + 'A'] = true;
  name['_'] = name[':'] = name['-'] = name['.'] = true;
  return name;
}

constexpr ByteTable kNameBytes = NameBytes();

bool Is(const ByteTable& table, char c) { return table[static_cast<unsigned char>(c)]; }

// The length of the escape starting at text[at] ('&') when the writer makes
// it in that context, else 0. The writer spells control characters with two
// digits and leaves tabs, line feeds and carriage returns in text as they are.
size_t EscapeLength(std::string_view text, size_t at, Context context) {
  std::string_view rest = text.substr(at);
  if (rest.starts_with("&amp;")) return 5;
  if (rest.starts_with("&lt;")) return 4;
  if (context == Context::kText && rest.starts_with("&gt;")) return 4;
  if (context == Context::kAttribute && rest.starts_with("&quot;")) return 6;
  if (rest.size() < 5 || rest[1] != '#' || rest[4] != ';') return 0;
  if (rest[2] < '0' || rest[2] > '3' || rest[3] < '0' || rest[3] > '9') return 0;
  int code = (rest[2] - '0') * 10 + (rest[3] - '0');
  bool kept_as_is = context == Context::kText && (code == '\t' || code == '\n' || code == '\r');
  return code > 0 && code < 32 && !kept_as_is ? 5 : 0;
}

size_t NameEnd(std::string_view text, size_t at) {
  while (at < text.size() && Is(kNameBytes, text[at])) ++at;
  return at;
}

// Past the closing quote of the attribute value starting at text[at].
size_t AttributeValueEnd(std::string_view text, size_t at) {
  while (at < text.size()) {
    if (Is(kPlainAttribute, text[at])) {
      ++at;
    } else if (text[at] == '"') {
      return at + 1;
    } else {
      size_t escape = text[at] == '&' ? EscapeLength(text, at, Context::kAttribute) : 0;
      if (escape == 0) return kNotWritten;
      at += escape;
    }
  }
  return kNotWritten;
}

// Where the value of an attribute stands; end 0 when the tag has none.
struct ValueSpan {
  size_t begin = 0;
  size_t end = 0;
};

// Past the tag starting at text[at] ('<'); found[i] gets where the value of
// the first attribute named wanted[i].name stands.
size_t TagEnd(std::string_view text, size_t at, TagKind* kind,
              std::span<const RootAttribute> wanted = {}, ValueSpan* found = nullptr) {
  bool end_tag = text.substr(at + 1).starts_with('/');
  size_t name_begin = at + (end_tag ? 2 : 1);
  size_t pos = NameEnd(text, name_begin);
  if (pos == name_begin) return kNotWritten;
  while (!end_tag && pos < text.size() && text[pos] == ' ') {
    size_t name_end = NameEnd(text, pos + 1);
    if (name_end == pos + 1 || !text.substr(name_end).starts_with("=\"")) return kNotWritten;
    size_t value_end = AttributeValueEnd(text, name_end + 2);
    if (value_end == kNotWritten) return kNotWritten;
    const std::string_view name = text.substr(pos + 1, name_end - pos - 1);
    for (size_t i = 0; i < wanted.size(); ++i) {
      if (found[i].end == 0 && name == wanted[i].name) found[i] = {name_end + 2, value_end - 1};
    }
    pos = value_end;
  }
  *kind = end_tag ? TagKind::kEnd : TagKind::kStart;
  if (!end_tag && text.substr(pos).starts_with("/>")) {
    *kind = TagKind::kEmpty;
    return pos + 2;
  }
  return text.substr(pos).starts_with('>') ? pos + 1 : kNotWritten;
}

// Past the text starting at text[at], which the writer would not leave
// whitespace only.
size_t TextEnd(std::string_view text, size_t at) {
  bool blank = true;
  while (at < text.size() && text[at] != '<') {
    if (Is(kPlainText, text[at])) {
      blank = blank && IsBlank(text[at]);
      ++at;
    } else {
      size_t escape = text[at] == '&' ? EscapeLength(text, at, Context::kText) : 0;
      if (escape == 0) return kNotWritten;
      blank = false;
      at += escape;
    }
  }
  return blank || at == text.size() ? kNotWritten : at;
}

// True when the elements and text from text[at] to the end are as the writer
// puts them. An element without content is written as an empty-element tag.
bool WrittenContent(std::string_view text, size_t at) {
  bool after_start_tag = false;
  while (at < text.size()) {
    if (text[at] != '<') {
      at = TextEnd(text, at);
      after_start_tag = false;
    } else {
      TagKind kind = TagKind::kEmpty;
      at = TagEnd(text, at, &kind);
      if (kind == TagKind::kEnd && after_start_tag) return false;
      after_start_tag = kind == TagKind::kStart;
    }
    if (at == kNotWritten) return false;
  }
  return true;
}

}  // namespace

bool StampRoot(std::string_view stored, std::span<const RootAttribute> attributes,
               std::string* answer) {
  std::string_view body = stored;
  if (body.starts_with(kDeclaration)) body.remove_prefix(kDeclaration.size());
  if (!body.starts_with(kRootStart) || !body.ends_with(kRootEnd)) return false;
  TagKind kind = TagKind::kEmpty;
  std::vector<ValueSpan> found(attributes.size());
  size_t root_end = TagEnd(body, 0, &kind, attributes, found.data());
  if (root_end == kNotWritten || kind != TagKind::kStart || NameEnd(body, 1) != kRootStart.size() ||
      !WrittenContent(body, root_end)) {
    return false;
  }
  // The values replaced in place, in the order they stand.
  std::vector<size_t> in_place;
  for (size_t i = 0; i < attributes.size(); ++i) {
    if (found[i].end != 0) in_place.push_back(i);
  }
  std::sort(in_place.begin(), in_place.end(),
            [&](size_t a, size_t b) { return found[a].begin < found[b].begin; });
  answer->clear();
  answer->reserve(kDeclaration.size() + body.size() + 40);
  answer->append(kDeclaration);
  size_t copied = 0;
  for (size_t i : in_place) {
    answer->append(body.substr(copied, found[i].begin - copied)).append(attributes[i].value);
    copied = found[i].end;
  }
  answer->append(body.substr(copied, root_end - 1 - copied));
  for (size_t i = 0; i < attributes.size(); ++i) {
    if (found[i].end != 0) continue;
    answer->append(" ").append(attributes[i].name).append("=\"");
    answer->append(attributes[i].value).append("\"");
  }
  answer->append(body.substr(root_end - 1));
  return true;
}

}  // namespace ovc::orvan
