#include "office/package/part_name.h"

#include <vector>

#include "automation/text.h"

namespace ovc::office {
namespace {

std::string_view Folder(std::string_view part) {
  const size_t slash = part.rfind('/');
  return slash == std::string_view::npos ? std::string_view("/") : part.substr(0, slash + 1);
}

}  // namespace

std::string PartKey(std::string_view part) {
  std::string key;
  key.reserve(part.size());
  for (size_t i = 0; i < part.size(); ++i) {
    if (part[i] == '%' && i + 2 < part.size() && HexDigitValue(part[i + 1]) >= 0 &&
        HexDigitValue(part[i + 2]) >= 0) {
      key += ToLowerAscii(
          static_cast<char>(HexDigitValue(part[i + 1]) * 16 + HexDigitValue(part[i + 2])));
      i += 2;
    } else {
      key += ToLowerAscii(part[i]);
    }
  }
  return key;
}

std::string PartNameOfEntry(std::string_view entry) { return "/" + std::string(entry); }

bool IsValidPartName(std::string_view part) {
  if (part.size() < 2 || part.front() != '/' || part.back() == '/') return false;
  size_t start = 1;
  while (start <= part.size()) {
    size_t end = part.find('/', start);
    if (end == std::string_view::npos) end = part.size();
    const std::string_view segment = part.substr(start, end - start);
    if (segment.empty() || segment.back() == '.') return false;
    start = end + 1;
  }
  for (const char c : part) {
    if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool ResolveTarget(std::string_view source, std::string_view target, std::string* part) {
  const size_t fragment = target.find_first_of("#?");
  if (fragment != std::string_view::npos) target = target.substr(0, fragment);
  if (target.empty() || target.back() == '/') return false;
  const std::string path = target.front() == '/'
                               ? std::string(target)
                               : std::string(Folder(source)) + std::string(target);
  std::vector<std::string_view> segments;
  const std::string_view view(path);
  size_t start = 1;
  while (start <= view.size()) {
    size_t end = view.find('/', start);
    if (end == std::string_view::npos) end = view.size();
    const std::string_view segment = view.substr(start, end - start);
    start = end + 1;
    if (segment == "..") {
      if (segments.empty()) return false;
      segments.pop_back();
    } else if (segment != "." && !segment.empty()) {
      segments.push_back(segment);
    }
  }
  std::string resolved;
  for (const std::string_view segment : segments) {
    resolved += '/';
    resolved += segment;
  }
  if (!IsValidPartName(resolved)) return false;
  *part = std::move(resolved);
  return true;
}

std::string RelationshipsPartName(std::string_view source) {
  if (source == "/") return "/_rels/.rels";
  const std::string_view folder = Folder(source);
  return std::string(folder) + "_rels/" + std::string(source.substr(folder.size())) + ".rels";
}

bool SourceOfRelationshipsPart(std::string_view part, std::string* source) {
  constexpr std::string_view kFolder = "/_rels/";
  constexpr std::string_view kSuffix = ".rels";
  const size_t folder = part.rfind(kFolder);
  if (folder == std::string_view::npos || !part.ends_with(kSuffix) ||
      part.find('/', folder + kFolder.size()) != std::string_view::npos) {
    return false;
  }
  const std::string_view name = part.substr(folder + kFolder.size());
  *source = std::string(part.substr(0, folder + 1)) +
            std::string(name.substr(0, name.size() - kSuffix.size()));
  return true;
}

std::string RelativeTarget(std::string_view source, std::string_view part) {
  const std::string_view folder = Folder(source);
  if (part.substr(0, folder.size()) == folder) return std::string(part.substr(folder.size()));
  return std::string(part);
}

std::string_view Extension(std::string_view part) {
  const std::string_view last = part.substr(part.rfind('/') + 1);
  const size_t dot = last.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : last.substr(dot + 1);
}

}  // namespace ovc::office
