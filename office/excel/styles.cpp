#include "office/excel/styles.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "office/excel/number_format.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

Styles::Styles(pugi::xml_document* part) {
  const pugi::xml_node root = office::DocumentRoot(part);
  cell_xfs_ = SpreadsheetChild(root, "cellXfs");
  for (pugi::xml_node xf : cell_xfs_.children()) {
    if (IsSpreadsheetElement(xf, "xf")) xfs_.push_back(xf);
  }
  for (pugi::xml_node format : SpreadsheetChild(root, "numFmts").children()) {
    if (IsSpreadsheetElement(format, "numFmt")) {
      const std::string_view code = format.attribute("formatCode").value();
      const std::optional<uint32_t> id =
          office::IntegerAttribute<uint32_t>(format.attribute("numFmtId"));
      if (id) custom_formats_[*id] = {IsDateFormatCode(code), IsGeneralFormatCode(code)};
    }
  }
}

pugi::xml_node Styles::Xf(uint32_t xf) const {
  return xf < xfs_.size() ? xfs_[xf] : pugi::xml_node();
}

uint32_t Styles::NumberFormatId(uint32_t xf) const {
  return office::IntegerAttribute<uint32_t>(Xf(xf).attribute("numFmtId")).value_or(0);
}

bool Styles::IsDateFormat(uint32_t xf) const {
  const uint32_t id = NumberFormatId(xf);
  const auto custom = custom_formats_.find(id);
  return custom != custom_formats_.end() ? custom->second.date : IsBuiltInDateFormat(id);
}

bool Styles::IsGeneral(uint32_t xf) const {
  const uint32_t id = NumberFormatId(xf);
  const auto custom = custom_formats_.find(id);
  return custom != custom_formats_.end() ? custom->second.general : id == 0;
}

bool Styles::IsLocked(uint32_t xf) const {
  return office::BooleanAttribute(SpreadsheetChild(Xf(xf), "protection").attribute("locked"), true);
}

bool Styles::HasQuotePrefix(uint32_t xf) const {
  return office::BooleanAttribute(Xf(xf).attribute("quotePrefix"));
}

// Formats are equal when they have the same attributes, in any order, and the
// same children; a quote prefix that is off counts as absent.
std::string Styles::KeyOf(pugi::xml_node xf) const {
  std::vector<std::pair<std::string, std::string>> attributes;
  for (pugi::xml_attribute attribute : xf.attributes()) {
    if (std::string_view(attribute.name()) == "quotePrefix" &&
        !office::BooleanAttribute(attribute)) {
      continue;
    }
    attributes.emplace_back(attribute.name(), attribute.value());
  }
  std::sort(attributes.begin(), attributes.end());
  std::ostringstream key;
  for (const auto& [name, value] : attributes) key << name << '=' << value << '\n';
  for (pugi::xml_node child : xf.children()) child.print(key, "", pugi::format_raw);
  return key.str();
}

bool Styles::FindOrAdd(pugi::xml_node model, uint32_t* result) {
  if (!cell_xfs_) return false;
  if (xf_keys_.empty()) {
    for (uint32_t i = 0; i < xfs_.size(); ++i) xf_keys_.try_emplace(KeyOf(xfs_[i]), i);
  }
  const std::string key = KeyOf(model);
  if (const auto found = xf_keys_.find(key); found != xf_keys_.end()) {
    *result = found->second;
    return true;
  }
  pugi::xml_node added =
      xfs_.empty() ? cell_xfs_.append_copy(model) : cell_xfs_.insert_copy_after(model, xfs_.back());
  added.set_name(SpreadsheetName(cell_xfs_, "xf").c_str());
  *result = static_cast<uint32_t>(xfs_.size());
  xfs_.push_back(added);
  xf_keys_.emplace(key, *result);
  pugi::xml_attribute count = cell_xfs_.attribute("count");
  if (count) count.set_value(static_cast<unsigned>(xfs_.size()));
  changed_ = true;
  return true;
}

namespace {

// A scratch copy of a format to edit before looking for its equal.
pugi::xml_node ScratchCopy(pugi::xml_document* scratch, pugi::xml_node xf) {
  if (xf) return scratch->append_copy(xf);
  pugi::xml_node model = scratch->append_child("xf");
  for (const char* name : {"numFmtId", "fontId", "fillId", "borderId", "xfId"}) {
    model.append_attribute(name) = 0;
  }
  return model;
}

pugi::xml_attribute Attribute(pugi::xml_node node, const char* name) {
  pugi::xml_attribute attribute = node.attribute(name);
  return attribute ? attribute : node.append_attribute(name);
}

}  // namespace

bool Styles::WithQuotePrefix(uint32_t xf, bool on, uint32_t* result) {
  if (HasQuotePrefix(xf) == on) {
    *result = xf;
    return true;
  }
  pugi::xml_document scratch;
  pugi::xml_node model = ScratchCopy(&scratch, Xf(xf));
  if (on) {
    Attribute(model, "quotePrefix").set_value("1");
  } else {
    model.remove_attribute("quotePrefix");
  }
  return FindOrAdd(model, result);
}

bool Styles::WithNumberFormat(uint32_t xf, uint32_t id, uint32_t* result) {
  if (NumberFormatId(xf) == id) {
    *result = xf;
    return true;
  }
  pugi::xml_document scratch;
  pugi::xml_node model = ScratchCopy(&scratch, Xf(xf));
  Attribute(model, "numFmtId").set_value(id);
  Attribute(model, "applyNumberFormat").set_value("1");
  return FindOrAdd(model, result);
}

}  // namespace ovc::excel
