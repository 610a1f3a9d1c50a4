#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"

namespace ovc::excel::testing {

// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

struct Part {
  std::string name;  // zip entry name, "xl/workbook.xml"
  std::string text;
};

// The parts of a workbook with one sheet "Sheet1" (A1 = 1), whose workbook
// part has `workbook_children` (e.g. "<calcPr calcMode=\"manual\"/>") after
// its sheets.
std::vector<Part> MinimalWorkbook(const std::string& workbook_children = "");

// Writes `parts` as a zip package at `path`.
void WritePackage(const std::string& path, const std::vector<Part>& parts);

// Calls member `name` of `object` the way late-bound clients do: arguments
// in natural order are passed reversed; a put passes its value (the last
// argument) as the named DISPID_PROPERTYPUT.
HRESULT Call(IDispatch* object, const std::wstring& name, uint16_t flags,
             std::vector<Variant> args = {}, Variant* result = nullptr);

// The object a property get returns; null when the call fails.
ComPtr<IDispatch> GetObject(IDispatch* object, const std::wstring& name,
                            std::vector<Variant> args = {});

// A new application created by ProgID.
ComPtr<IDispatch> NewApplication();

}  // namespace ovc::excel::testing
