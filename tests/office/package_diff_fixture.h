#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// Oracles on written packages, for the tests of both office engines: what
// changed between two zip packages, part by part after inflation, and
// whether a package still hangs together.
namespace ovc::office::testing {

// The entries of a zip package inflated, in entry order. Empty when the file
// is no readable zip (a test failure is recorded).
struct PackageParts {
  std::vector<std::string> order;              // entry names as stored
  std::map<std::string, std::string> content;  // entry name -> inflated bytes
};
PackageParts ReadPackageParts(const std::string& path);

// Entry names whose inflated bytes differ, that only `after` has, that only
// `before` has; `order_kept` is false when the entries both have are stored
// in another order.
struct PackageDiff {
  std::set<std::string> changed;
  std::set<std::string> added;
  std::set<std::string> removed;
  bool order_kept = true;
};
PackageDiff ComparePackages(const PackageParts& before, const PackageParts& after);

// What breaks the package: "<rels entry>: <target>" for every internal
// relationship target naming no entry, "<entry>: no content type" for every
// part [Content_Types].xml gives no type. Empty when it hangs together.
std::vector<std::string> PackageFaults(const PackageParts& parts);

}  // namespace ovc::office::testing
