#pragma once

#include <gtest/gtest.h>

#include <string>

#include "automation/dom/dom.h"
#include "automation/variant.h"

namespace ovc::xml_testing {

// The serialised document that GetXML of `object` (a Bridge, LinkSet, Link
// or App) hands out.
template <class I>
std::wstring XmlOf(I* object) {
  Variant document;
  EXPECT_EQ(object->GetXML(&document), S_OK);
  std::wstring xml;
  EXPECT_EQ(ComPtr<IDispatch>(document.dispatch()).As<IXMLDOMNode>()->get_xml(&xml), S_OK);
  return xml;
}

}  // namespace ovc::xml_testing
