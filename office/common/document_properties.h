#pragma once

#include <string>

#include "automation/com_ptr.h"
#include "office/common/core_properties.h"
#include "office/common/office.h"
#include "office/common/office_object.h"

namespace ovc::office {

// The document that the property objects read and write through.
class PropertiesHost {
 public:
  // Empty while the document is open; otherwise why it cannot be used.
  virtual std::string Disconnected() const = 0;
  // The document's file name, for error descriptions.
  virtual const std::string& file_name() const = 0;
  // The document's properties; called only while it is open.
  virtual CoreProperties& core_properties() = 0;
  // Records a successful put: the document changed.
  virtual void NotePropertiesChanged() = 0;

 protected:
  ~PropertiesHost() = default;
};

// The built-in document properties of a document (Title, Subject, Author,
// Keywords, Comments, Category, Last Author, Last Save Time, Creation Date).
// `owner` is the document's automation object, held so that `host` (the
// same document) stays alive; `source` names the application in error
// objects (static storage).
class DocumentProperties final : public OfficeObject<IDocumentProperties> {
 public:
  DocumentProperties(std::wstring_view source, ComPtr<IDispatch> owner, PropertiesHost* host);

  HRESULT get_Count(int32_t* count) override;
  // By name, without regard to case, or by 1-based position.
  // DISP_E_BADINDEX for any other.
  HRESULT get_Item(const Variant& index, IDispatch** property) override;

  std::string Disconnected() const override { return host_->Disconnected(); }

 private:
  ComPtr<IDispatch> owner_;
  PropertiesHost* host_;
};

// One built-in document property: VT_BSTR or VT_DATE, VT_EMPTY when the file
// does not hold it. A put of text changes the document (Saved false); the
// three that record saves are read-only (E_ACCESSDENIED).
class DocumentProperty final : public OfficeObject<IDocumentProperty> {
 public:
  DocumentProperty(std::wstring_view source, ComPtr<IDispatch> owner, PropertiesHost* host,
                   std::wstring name);

  HRESULT get_Name(std::wstring* name) override;
  HRESULT get_Value(Variant* value) override;
  HRESULT put_Value(const Variant& value) override;

  std::string Disconnected() const override { return host_->Disconnected(); }

 private:
  ComPtr<IDispatch> owner_;
  PropertiesHost* host_;
  const std::wstring name_;
};

}  // namespace ovc::office
