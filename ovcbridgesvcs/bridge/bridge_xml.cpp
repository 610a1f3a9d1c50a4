// The Bridge document: written to and read from XML.
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/links/link_values.h"

namespace ovc::bridge {

HRESULT CBridge::GetXML(Variant*) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::GetXML");
}

HRESULT CBridge::ReadXML(const Variant&) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::ReadXML");
}

HRESULT CBridge::WriteToXML(const Variant&) {
  return links::ReportNotImplemented(CLSID_Bridge, L"CBridge::WriteToXML");
}

}  // namespace ovc::bridge
