#include "office/word/document_settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "office/package/xml_names.h"
#include "office/word/password_hash.h"
#include "office/word/word_names.h"

namespace ovc::word {
namespace {

constexpr std::string_view kMain = kWordNamespace;
constexpr uint32_t kSpinCount = 100000;
// The most rounds a password hash may take, as in the word processor's own
// limit; more would take hours to check.
constexpr uint32_t kMaxSpinCount = 10'000'000;
constexpr size_t kSaltBytes = 16;

// The settings' elements in schema order, up to the last one placed here.
const std::initializer_list<std::string_view> kOrder = {"writeProtection",
                                                        "view",
                                                        "zoom",
                                                        "removePersonalInformation",
                                                        "removeDateAndTime",
                                                        "doNotDisplayPageBoundaries",
                                                        "displayBackgroundShape",
                                                        "printPostScriptOverText",
                                                        "printFractionalCharacterWidth",
                                                        "printFormsData",
                                                        "embedTrueTypeFonts",
                                                        "embedSystemFonts",
                                                        "saveSubsetFonts",
                                                        "saveFormsData",
                                                        "mirrorMargins",
                                                        "alignBordersAndEdges",
                                                        "bordersDoNotSurroundHeader",
                                                        "bordersDoNotSurroundFooter",
                                                        "gutterAtTop",
                                                        "hideSpellingErrors",
                                                        "hideGrammaticalErrors",
                                                        "activeWritingStyle",
                                                        "proofState",
                                                        "formsDesign",
                                                        "attachedTemplate",
                                                        "linkStyles",
                                                        "stylePaneFormatFilter",
                                                        "stylePaneSortMethod",
                                                        "documentType",
                                                        "mailMerge",
                                                        "revisionView",
                                                        "trackRevisions",
                                                        "doNotTrackMoves",
                                                        "doNotTrackFormatting",
                                                        "documentProtection"};

constexpr std::array<std::string_view, 4> kEditValues = {"trackedChanges", "comments", "forms",
                                                         "readOnly"};

// The attribute `local` of `element` in the main namespace.
pugi::xml_attribute Attribute(pugi::xml_node element, std::string_view local) {
  return office::AttributeIn(element, kMain, local);
}

// Declares on `holder` every namespace in scope at `node`, the nearest
// declaration of a prefix winning.
void DeclareScope(pugi::xml_node node, pugi::xml_node holder) {
  for (; node.type() == pugi::node_element; node = node.parent()) {
    for (const pugi::xml_attribute& attribute : node.attributes()) {
      const std::string_view name = attribute.name();
      const bool declaration = name == "xmlns" || name.starts_with("xmlns:");
      if (declaration && !holder.attribute(attribute.name())) holder.append_copy(attribute);
    }
  }
}

bool IsOnAttribute(pugi::xml_attribute attribute) {
  const std::string_view value = attribute.value();
  return value == "1" || value == "true" || value == "on";
}

// True when the element holds a password hash. Some writers give an element
// without a password empty hash attributes.
bool HoldsHash(pugi::xml_node element) {
  for (pugi::xml_attribute attribute : element.attributes()) {
    const std::string_view name = attribute.name();
    const std::string_view local = name.substr(name.find(':') + 1);
    if ((local == "hashValue" || local == "hash") && *attribute.value() != '\0') {
      return true;
    }
  }
  return false;
}

// Checks `password` against the element's hash: S_OK when it matches.
HRESULT CheckPassword(pugi::xml_node element, const std::wstring& password, std::string* reason) {
  const pugi::xml_attribute algorithm = Attribute(element, "algorithmName");
  std::string hash;
  std::string salt;
  if (!algorithm || !DecodeBase64(Attribute(element, "hashValue").value(), &hash) ||
      !DecodeBase64(Attribute(element, "saltValue").value(), &salt)) {
    *reason = "the protection password is kept in a legacy form, which is not supported";
    return E_NOTIMPL;
  }
  const pugi::xml_attribute spin_count = Attribute(element, "spinCount");
  const std::optional<uint32_t> rounds =
      spin_count ? office::IntegerAttribute<uint32_t>(spin_count, 0, kMaxSpinCount)
                 : std::optional<uint32_t>(0);
  if (!rounds) {
    *reason = "the protection password is hashed with a spin count of '" +
              std::string(spin_count.value()) + "', which is not one from 0 to " +
              std::to_string(kMaxSpinCount);
    return E_NOTIMPL;
  }
  const std::string computed = HashPassword(algorithm.value(), password, salt, *rounds);
  if (computed.empty()) {
    *reason = "the protection password is hashed with " + std::string(algorithm.value()) +
              ", which is not supported";
    return E_NOTIMPL;
  }
  if (computed != hash) {
    *reason = "the password is not correct";
    return E_ACCESSDENIED;
  }
  return S_OK;
}

// The rank of an element in kOrder; elements not listed come after.
size_t Rank(pugi::xml_node node) {
  const std::string_view local = office::LocalNameIn(node, kMain);
  size_t rank = 0;
  for (std::string_view name : kOrder) {
    if (name == local) return rank;
    ++rank;
  }
  return kOrder.size();
}

// True when an element of `rank` may stand right after `after` (null: first).
bool FitsAfter(pugi::xml_node parent, pugi::xml_node after, size_t rank) {
  for (pugi::xml_node node = after; node; node = node.previous_sibling()) {
    if (node.type() == pugi::node_element && Rank(node) > rank) return false;
  }
  for (pugi::xml_node node = after ? after.next_sibling() : parent.first_child(); node;
       node = node.next_sibling()) {
    if (node.type() == pugi::node_element && Rank(node) < rank) return false;
  }
  return true;
}

// Where an element of `rank` goes by the schema: after the last sibling
// ranked before it; null when it goes first.
pugi::xml_node PlaceFor(pugi::xml_node parent, size_t rank) {
  pugi::xml_node after;
  for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
    if (node.type() == pugi::node_element && Rank(node) < rank) after = node;
  }
  return after;
}

pugi::xml_node InsertCopy(pugi::xml_node parent, pugi::xml_node after, pugi::xml_node copy) {
  return after ? parent.insert_copy_after(copy, after) : parent.prepend_copy(copy);
}

}  // namespace

DocumentSettings::DocumentSettings(pugi::xml_document* part,
                                   std::function<pugi::xml_document*()> create_part)
    : part_(part), create_part_(std::move(create_part)) {}

DocumentSettings::~DocumentSettings() = default;

pugi::xml_node DocumentSettings::Root() const { return office::DocumentRoot(part_); }

pugi::xml_node DocumentSettings::Element(std::string_view local) const {
  return office::ChildElement(Root(), kMain, local);
}

int32_t DocumentSettings::ProtectionType() const {
  const pugi::xml_node protection = Element("documentProtection");
  if (!protection || !IsOnAttribute(Attribute(protection, "enforcement"))) return kNoProtection;
  const std::string_view edit = Attribute(protection, "edit").value();
  for (size_t i = 0; i < kEditValues.size(); ++i) {
    if (kEditValues[i] == edit) return static_cast<int32_t>(i);
  }
  return kNoProtection;
}

HRESULT DocumentSettings::Unprotect(const std::wstring* password, std::string* reason) {
  if (ProtectionType() == kNoProtection) return S_OK;
  const pugi::xml_node protection = Element("documentProtection");
  if (HoldsHash(protection)) {
    if (password == nullptr) {
      *reason = "the document is protected with a password";
      return E_ACCESSDENIED;
    }
    const HRESULT hr = CheckPassword(protection, *password, reason);
    if (Failed(hr)) return hr;
  }
  Remove(protection, &protection_);
  return S_OK;
}

HRESULT DocumentSettings::Protect(int32_t type, const std::wstring* password, std::string* reason) {
  if (type < kAllowOnlyRevisions || type > kAllowOnlyReading) {
    *reason = "Protect: " + std::to_string(type) + " is not a protection type (0 to 3)";
    return E_INVALIDARG;
  }
  if (ProtectionType() != kNoProtection) {
    *reason = "the document is protected already";
    return E_ACCESSDENIED;
  }
  if (protection_.held) {
    const pugi::xml_node kept = protection_.element();
    std::string ignored;
    const bool same_type = Attribute(kept, "edit").value() == kEditValues[type];
    const bool same_password = password == nullptr ? true
                               : HoldsHash(kept) ? CheckPassword(kept, *password, &ignored) == S_OK
                                                 : false;
    if (same_type && same_password && Root()) {
      Restore(&protection_);
      return S_OK;
    }
  }
  std::string salt;
  if (password != nullptr && !RandomBytes(kSaltBytes, &salt)) {
    *reason = "no random salt could be drawn for the password";
    return E_FAIL;
  }
  if (!EnsurePart()) {
    *reason = "the settings part could not be made";
    return E_FAIL;
  }
  pugi::xml_node protection = Element("documentProtection");
  if (protection) Root().remove_child(protection);
  protection = AddElement("documentProtection");
  protection.append_attribute(Qualified("edit").c_str()) = std::string(kEditValues[type]).c_str();
  protection.append_attribute(Qualified("enforcement").c_str()) = "1";
  if (password != nullptr) {
    const std::string hash = HashPassword("SHA-512", *password, salt, kSpinCount);
    protection.append_attribute(Qualified("algorithmName").c_str()) = "SHA-512";
    protection.append_attribute(Qualified("hashValue").c_str()) = EncodeBase64(hash).c_str();
    protection.append_attribute(Qualified("saltValue").c_str()) = EncodeBase64(salt).c_str();
    protection.append_attribute(Qualified("spinCount").c_str()) = kSpinCount;
  }
  protection_.held = false;
  return S_OK;
}

bool DocumentSettings::TrackRevisions() const {
  if (ProtectionType() == kAllowOnlyRevisions) return true;
  const pugi::xml_node tracking = Element("trackRevisions");
  const pugi::xml_attribute value = Attribute(tracking, "val");
  return tracking && (!value || IsOnAttribute(value));
}

HRESULT DocumentSettings::SetTrackRevisions(bool track, std::string* reason) {
  if (track == TrackRevisions()) return S_OK;
  if (!track && ProtectionType() == kAllowOnlyRevisions) {
    *reason = "the document is protected for tracked changes";
    return E_ACCESSDENIED;
  }
  pugi::xml_node tracking = Element("trackRevisions");
  if (!track) {
    Remove(tracking, &tracking_);
    return S_OK;
  }
  if (tracking) {
    tracking.remove_attribute(Attribute(tracking, "val"));
    changed_ = true;
    return S_OK;
  }
  if (tracking_.held && Root()) {
    Restore(&tracking_);
    return S_OK;
  }
  if (!EnsurePart()) {
    *reason = "the settings part could not be made";
    return E_FAIL;
  }
  AddElement("trackRevisions");
  return S_OK;
}

bool DocumentSettings::EnsurePart() {
  if (part_ == nullptr && create_part_) {
    part_ = create_part_();
    if (part_ != nullptr && !part_->document_element()) {
      pugi::xml_node root = part_->append_child("w:settings");
      root.append_attribute("xmlns:w") = std::string(kMain).c_str();
      changed_ = true;
    }
  }
  return part_ != nullptr && Root();
}

void DocumentSettings::Remove(pugi::xml_node element, Removed* removed) {
  size_t index = 0;
  for (pugi::xml_node node = element.previous_sibling(); node; node = node.previous_sibling()) {
    ++index;
  }
  removed->copy.reset();
  pugi::xml_node holder = removed->copy.append_child("scope");
  DeclareScope(element.parent(), holder);
  holder.append_copy(element);
  removed->index = index;
  removed->in_schema_order = FitsAfter(element.parent(), element.previous_sibling(), Rank(element));
  removed->held = true;
  element.parent().remove_child(element);
  changed_ = true;
}

void DocumentSettings::Restore(Removed* removed) {
  const pugi::xml_node root = Root();
  const pugi::xml_node kept = removed->element();
  const size_t rank = Rank(kept);
  pugi::xml_node after;
  size_t index = 0;
  for (pugi::xml_node node = root.first_child(); node && index < removed->index;
       node = node.next_sibling(), ++index) {
    after = node;
  }
  // An element the producer put out of schema order goes back there all the
  // same; one in order only where it is in order still.
  const bool in_place =
      index == removed->index && (!removed->in_schema_order || FitsAfter(root, after, rank));
  InsertCopy(root, in_place ? after : PlaceFor(root, rank), kept);
  removed->held = false;
  changed_ = true;
}

pugi::xml_node DocumentSettings::AddElement(std::string_view local) {
  changed_ = true;
  return office::InsertInOrder(Root(), kMain, local, kOrder);
}

std::string DocumentSettings::Qualified(std::string_view local) const {
  return office::AttributePrefix(Root(), kMain, "w") + ":" + std::string(local);
}

}  // namespace ovc::word
