#include "ovcbridgesvcs/transfer/change_report.h"

#include <cstddef>
#include <span>

#include "automation/conversion.h"
#include "automation/safe_array.h"

namespace ovc::transfer {
namespace {

void AppendGroup(const ChangeEntry& entry, std::wstring place, const Variant& old_value,
                 const Variant& new_value, std::vector<std::wstring>* report) {
  report->push_back(entry.source);
  report->push_back(entry.object);
  report->push_back(std::move(place));
  report->push_back(ChangeValueText(old_value));
  report->push_back(ChangeValueText(new_value));
}

}  // namespace

std::wstring ChangeValueText(const Variant& value) {
  switch (value.vt()) {
    case VT_BSTR:
      return value.bstr();
    case VT_I4:
    case VT_R8:
    case VT_DATE:
    case VT_BOOL: {
      Variant text;
      if (Failed(VariantChangeType(&text, value, VARIANT_ALPHABOOL, VT_BSTR))) return {};
      return text.bstr();
    }
    default:
      return {};
  }
}

void AppendChangeEntry(const ChangeEntry& entry, std::vector<std::wstring>* report) {
  if (!entry.old_value.IsArray() || !entry.new_value.IsArray()) {
    AppendGroup(entry, entry.place, entry.old_value, entry.new_value, report);
    return;
  }
  const std::span<const Variant> old_values = entry.old_value.array().data();
  const std::span<const Variant> new_values = entry.new_value.array().data();
  const size_t count = entry.new_value.array().bounds()[0].count;
  for (size_t i = 0; i < count && i < new_values.size(); ++i) {
    AppendGroup(entry, entry.place + L" " + std::to_wstring(i),
                i < old_values.size() ? old_values[i] : Variant(), new_values[i], report);
  }
}

}  // namespace ovc::transfer
