#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"
#include "automation/type_info.h"

namespace ovc::python {

namespace py = pybind11;

// ovcbridge.Dispatch: a late-bound proxy for an automation object. Reading
// an attribute calls the property get (a get whose parameters are all
// optional gives a PropertyValue; other members with parameters and methods
// come back as callables); assigning calls the property put; calls pass
// positional arguments and keyword arguments by parameter name, may leave
// out optional ones and return the [retval] value followed by the [out]
// values (a tuple when there are [out] values). Calling the proxy calls its
// default member; proxy[i] is the i-th item of its iteration, proxy["name"]
// the default member's value for "name". len() uses Count; iteration uses
// _NewEnum, or Item(1) to Item(Count) without one; every proxy is true,
// whatever its Count.
class DispatchProxy {
 public:
  explicit DispatchProxy(ComPtr<IDispatch> object);

  IDispatch* get() const { return object_.get(); }

  // The attribute `name`: a property value or a bound callable.
  py::object GetAttribute(const std::wstring& name) const;
  void SetAttribute(const std::wstring& name, py::handle value) const;
  // Calls member `name` with `flags`, positional `args` and `keywords`.
  py::object Call(const std::wstring& name, uint16_t flags, const py::args& args,
                  const py::kwargs& keywords = {}) const;
  py::object CallDefault(const py::args& args, const py::kwargs& keywords) const;
  py::object Item(py::handle key) const;
  size_t Length() const;
  py::object Iterate() const;
  // The names of the members its type information describes.
  py::list MemberNames() const;
  // Identity: two proxies of one object are equal and hash alike.
  bool SameObject(const DispatchProxy& other) const;
  size_t Hash() const;
  std::string Repr() const;

 private:
  DISPID IdOfName(const std::wstring& name) const;
  const InterfaceInfo* Describe() const;
  py::object CallById(DISPID id, const std::wstring& name, uint16_t flags, const py::args& args,
                      const py::kwargs& keywords) const;
  // The items in iteration order.
  py::list Items() const;

  ComPtr<IDispatch> object_;
};

void BindDispatch(py::module_& module);

}  // namespace ovc::python
