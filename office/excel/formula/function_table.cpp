#include "office/excel/formula/function_table.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "automation/text.h"

namespace ovc::excel::formula {

namespace {

struct Table {
  std::vector<const FunctionSpec*> functions;
  std::unordered_map<std::string, int32_t> by_name;

  Table() {
    for (const auto family : {MathFunctions(), StatisticsFunctions(), LogicFunctions(),
                              TextFunctions(), InformationFunctions(), ConditionalFunctions(),
                              LookupFunctions(), DateFunctions(), EngineeringFunctions()}) {
      for (const FunctionSpec& spec : family) {
        by_name.emplace(spec.name, static_cast<int32_t>(functions.size()));
        functions.push_back(&spec);
      }
    }
  }
};

const Table& TheTable() {
  static const Table table;
  return table;
}

std::string_view WithoutPrefix(std::string_view name) {
  for (const std::string_view prefix : {"_xlfn.", "_xlws."}) {
    if (name.size() > prefix.size() &&
        EqualsNoCase(FromUtf8(name.substr(0, prefix.size())), FromUtf8(prefix))) {
      name.remove_prefix(prefix.size());
    }
  }
  return name;
}

}  // namespace

int32_t FindFunction(std::string_view name) {
  const Table& table = TheTable();
  const auto found = table.by_name.find(ToUtf8(ToUpper(FromUtf8(WithoutPrefix(name)))));
  return found == table.by_name.end() ? -1 : found->second;
}

const FunctionSpec& FunctionAt(int32_t index) { return *TheTable().functions[index]; }

}  // namespace ovc::excel::formula
