#include "tests/office/package_diff_fixture.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>

#include "office/package/part_name.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::office::testing {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::vector<std::string> Common(const std::vector<std::string>& order,
                                const std::map<std::string, std::string>& other) {
  std::vector<std::string> common;
  std::copy_if(order.begin(), order.end(), std::back_inserter(common),
               [&](const std::string& name) { return other.count(name) != 0; });
  return common;
}

void CheckTargets(const PackageParts& parts, const std::set<std::string>& keys,
                  std::vector<std::string>* faults) {
  for (const auto& [entry, text] : parts.content) {
    std::string source;
    if (!SourceOfRelationshipsPart(PartNameOfEntry(entry), &source)) continue;
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size());
    for (pugi::xml_node relationship : document.document_element().children("Relationship")) {
      if (std::string_view(relationship.attribute("TargetMode").value()) == "External") continue;
      const std::string target = relationship.attribute("Target").value();
      std::string part;
      if (!ResolveTarget(source, target, &part) || keys.count(PartKey(part)) == 0) {
        faults->push_back(entry + ": " + target);
      }
    }
  }
}

void CheckContentTypes(const PackageParts& parts, std::vector<std::string>* faults) {
  const auto types = parts.content.find("[Content_Types].xml");
  if (types == parts.content.end()) {
    faults->push_back("[Content_Types].xml: missing");
    return;
  }
  pugi::xml_document document;
  document.load_buffer(types->second.data(), types->second.size());
  std::set<std::string> defaults, overrides;
  for (pugi::xml_node type : document.document_element().children()) {
    const std::string key = Lower(type.attribute("Extension").value());
    if (std::string_view(type.name()) == "Default") defaults.insert(key);
    if (std::string_view(type.name()) == "Override")
      overrides.insert(PartKey(type.attribute("PartName").value()));
  }
  for (const std::string& entry : parts.order) {
    const std::string part = PartNameOfEntry(entry);
    const std::string extension = Lower(std::string(Extension(part)));
    if (entry != "[Content_Types].xml" && overrides.count(PartKey(part)) == 0 &&
        defaults.count(extension) == 0) {
      faults->push_back(entry + ": no content type");
    }
  }
}

}  // namespace

PackageParts ReadPackageParts(const std::string& path) {
  PackageParts parts;
  for (RawEntry& entry : RawEntries(path, /*inflated=*/true)) {
    parts.order.push_back(entry.name);
    parts.content[entry.name] = std::move(entry.bytes);
  }
  return parts;
}

PackageDiff ComparePackages(const PackageParts& before, const PackageParts& after) {
  PackageDiff diff;
  for (const auto& [name, content] : after.content) {
    const auto old = before.content.find(name);
    if (old == before.content.end()) {
      diff.added.insert(name);
    } else if (old->second != content) {
      diff.changed.insert(name);
    }
  }
  for (const auto& entry : before.content) {
    if (after.content.count(entry.first) == 0) diff.removed.insert(entry.first);
  }
  diff.order_kept = Common(before.order, after.content) == Common(after.order, before.content);
  return diff;
}

std::vector<std::string> PackageFaults(const PackageParts& parts) {
  std::vector<std::string> faults;
  std::set<std::string> keys;
  for (const std::string& entry : parts.order) keys.insert(PartKey(PartNameOfEntry(entry)));
  CheckTargets(parts, keys, &faults);
  CheckContentTypes(parts, &faults);
  return faults;
}

}  // namespace ovc::office::testing
