#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <pugixml.hpp>

#include "automation/hresult.h"

namespace ovc::word {

// Protection types, as the object model numbers them.
inline constexpr int32_t kNoProtection = -1;
inline constexpr int32_t kAllowOnlyRevisions = 0;
inline constexpr int32_t kAllowOnlyComments = 1;
inline constexpr int32_t kAllowOnlyFormFields = 2;
inline constexpr int32_t kAllowOnlyReading = 3;

// The protection and revision tracking of a document, kept in its settings
// part (w:documentProtection, w:trackRevisions). An element taken away by
// Unprotect or by turning tracking off is remembered and put back as it was,
// at its place, by the matching Protect or by turning tracking on again, so
// that such a pair leaves the part byte for byte. Serves one thread at a time.
class DocumentSettings {
 public:
  // `part` is the parsed settings part (borrowed; null when the document has
  // none). `create_part` adds an empty part and returns it (null on failure);
  // it is called by the first change that needs a part when there is none.
  DocumentSettings(pugi::xml_document* part, std::function<pugi::xml_document*()> create_part);
  ~DocumentSettings();
  DocumentSettings(const DocumentSettings&) = delete;
  DocumentSettings& operator=(const DocumentSettings&) = delete;

  // kNoProtection unless w:documentProtection is enforced; then the type its
  // w:edit names (trackedChanges, comments, forms, readOnly).
  int32_t ProtectionType() const;
  // Lifts the protection (nothing to do when there is none). With a hash in
  // the element a password is needed: E_ACCESSDENIED without one or with a
  // wrong one; E_NOTIMPL for a hash of the legacy forms or an unknown
  // algorithm. `password` null means none was given. *reason says why.
  HRESULT Unprotect(const std::wstring* password, std::string* reason);
  // Protects the document with `type`: the element Unprotect remembered when
  // its type matches (and `password`, if given, is the one it holds), else a
  // new enforced element, with a salted SHA-512 hash of `password` when
  // given. E_INVALIDARG for a type that is none of the four, E_ACCESSDENIED
  // when the document is already protected, E_FAIL when no part could be
  // made or no salt drawn.
  HRESULT Protect(int32_t type, const std::wstring* password, std::string* reason);

  // True when w:trackRevisions is present and not false, or the document is
  // protected for tracked changes.
  bool TrackRevisions() const;
  // Turns tracking on or off. E_ACCESSDENIED to turn it off while the
  // document is protected for tracked changes; E_FAIL when no part could be
  // made.
  HRESULT SetTrackRevisions(bool track, std::string* reason);

  // True once the part was changed (or made).
  bool changed() const { return changed_; }

 private:
  // An element taken out of the part and where it stood. The copy is kept
  // inside a holder declaring the namespaces that were in scope, so that its
  // names resolve as they did in the part.
  struct Removed {
    pugi::xml_node element() const { return copy.document_element().first_child(); }
    pugi::xml_document copy;
    size_t index = 0;  // the number of sibling nodes before it
    bool in_schema_order = true;
    bool held = false;
  };

  pugi::xml_node Root() const;
  pugi::xml_node Element(std::string_view local) const;
  bool EnsurePart();
  void Remove(pugi::xml_node element, Removed* removed);
  void Restore(Removed* removed);
  pugi::xml_node AddElement(std::string_view local);
  std::string Qualified(std::string_view local) const;

  pugi::xml_document* part_;
  std::function<pugi::xml_document*()> create_part_;
  Removed protection_;
  Removed tracking_;
  bool changed_ = false;
};

}  // namespace ovc::word
