#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "automation/hresult.h"
#include "office/package/document_kind.h"

namespace ovc::office {

class FileSystem;
struct ConverterOptions;

// Bounds on what a package may make the process read, against zip bombs and
// hostile XML. Passing one fails the open or the part with
// STG_E_DOCFILECORRUPT and a message naming the part.
struct PackageLimits {
  uint64_t max_part_bytes = uint64_t{512} << 20;  // inflated, one part
  uint64_t max_total_bytes = uint64_t{2} << 30;   // inflated, all parts read
  uint64_t max_entries = 10000;                   // zip entries
  uint32_t max_depth = 1000;                      // XML element nesting
};

struct OpenOptions {
  // Never written and never locked.
  bool read_only = false;
  // The kind of document the opener serves; a package of another kind is
  // refused at Open. Empty: any kind.
  std::optional<DocumentKind> kind;
  PackageLimits limits;
  // The file system calls of Open's folder check and of Save; null means
  // FileSystem::Real(). Not owned;
  // must outlive the package.
  FileSystem* file_system = nullptr;
  // How a legacy file (.xls/.doc) is converted into its working copy and
  // back; null means DefaultConverterOptions(). Not owned.
  const ConverterOptions* converter = nullptr;
  // Receives one line for each event worth a trace (a busy lock, an owner
  // that could not be kept); may be empty.
  std::function<void(std::string_view)> trace;
};

// One relationship of a source part (or of the package itself).
struct Relationship {
  std::string id;
  std::string type;    // the full type URI
  std::string target;  // as written
  bool external = false;
  std::string part;  // the target part name ("/xl/worksheets/sheet1.xml"); empty if external
};

// The package-level relationships belong to this source name.
inline constexpr std::string_view kPackageRoot = "/";

inline constexpr std::string_view kOfficeDocumentRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";

// One open OPC package (an Office Open XML file). Part names are absolute URI
// paths ("/xl/workbook.xml") and compare without regard to ASCII case. Parts
// are looked up inside the zip only; no file path is ever built from a part
// name. Serves one thread at a time. Move-only through its unique_ptr.
class Package {
 public:
  // Opens the package at `path`. On failure returns null and sets *error to
  // "<file name>: <reason>" and *code: E_NOTIMPL for a format that is not an
  // Office Open XML package (encrypted, .xlsb, Strict, not a zip, a document
  // of another kind than options.kind) or a legacy file LibreOffice cannot
  // convert or is missing for,
  // STG_E_DOCFILECORRUPT for a damaged package or a passed limit,
  // STG_E_* from errno for a file that cannot be read.
  // A writable open takes an advisory lock on the file; when another open
  // file description holds it (this process or another), the file cannot be
  // opened for writing or its folder does not let a save replace it, the
  // package opens read-only instead. A writable open removes what killed
  // saves left beside the file (see RemoveLeftoverTemporaries).
  // A legacy file (.xls/.doc) is read through its LegacyWorkingCopy; path,
  // name, lock and read-only state stay the original's, and Save converts
  // back to the legacy format before it replaces the original.
  static std::unique_ptr<Package> Open(const std::string& path, const OpenOptions& options,
                                       std::string* error, HRESULT* code);

  // Releases the lock; unsaved changes are dropped.
  ~Package();
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  // True when Save always fails: opened read-only, the lock was busy, or the
  // file or its folder was not writable.
  bool is_read_only() const;
  // True when the package is the working copy LibreOffice converted a
  // legacy file (.xls/.doc) into.
  bool is_converted() const;
  // The path as given to Open.
  const std::string& path() const;
  // The last component of path(), which starts every message.
  const std::string& file_name() const;

  // True when `path` names the file the package has open (same device and
  // inode, also after a save replaced it), however it is spelled; false when
  // it names another file or none.
  bool IsFile(const std::string& path) const;

  // The part the package's officeDocument relationship targets
  // ("/xl/workbook.xml"); checked to exist at Open.
  const std::string& MainDocumentPartName() const;
  // The content type of a part (Override, else Default by extension), or ""
  // when the part has none or does not exist.
  std::string ContentType(const std::string& part) const;
  bool HasPart(const std::string& part) const;
  // Every part name in entry order, folders excluded.
  std::vector<std::string> PartNames() const;

  // The relationships of `source` (a part name, or kPackageRoot) in document
  // order into *relationships; none when it has no relationships part. False
  // and *error when the relationships part is malformed or a target lies
  // outside the package.
  bool Relationships(const std::string& source, std::vector<Relationship>* relationships,
                     std::string* error);
  // The target part names of source's internal relationships of one type
  // (full type URI), as Relationships does otherwise.
  bool RelatedParts(const std::string& source, std::string_view type,
                    std::vector<std::string>* parts, std::string* error);

  // The parsed part, parsed on first use keeping everything it holds
  // (declaration, comments, processing instructions, white-space-only text,
  // namespace declarations, unknown content). Owned by the package, valid
  // until the part is removed or the package destroyed. Null and *error
  // ("<file>: <part>: <reason>") when the part is absent, malformed, holds a
  // DOCTYPE or passes a limit. A part got this way is written back only after
  // MarkChanged, as it was but for what a parser cannot tell apart:
  // character references come out as UTF-8, "<v></v>" as "<v/>", line ends
  // in text as "\n".
  pugi::xml_document* XmlPart(const std::string& part, std::string* error);
  // The inflated bytes of any part (binary parts too). False and *error when
  // absent, damaged or over a limit.
  bool ReadPart(const std::string& part, std::string* bytes, std::string* error);
  // Makes Save write the parsed part back. No effect on a part never parsed.
  void MarkChanged(const std::string& part);

  // Adds a new XML part (an empty document the caller fills), gives it
  // `content_type` and a relationship of `relationship_type` from `source`
  // (a part name or kPackageRoot), whose id goes to *relationship_id when
  // given. Null and *error when the part exists, its name is not a valid
  // part name, or source's relationships are malformed.
  pugi::xml_document* AddXmlPart(const std::string& part, std::string_view content_type,
                                 const std::string& source, std::string_view relationship_type,
                                 std::string* relationship_id, std::string* error);
  // Removes a part, its own relationships part, every relationship that
  // targets it and its content type override. False and *error when absent
  // or a relationships part is malformed (nothing is removed then).
  bool RemovePart(const std::string& part, std::string* error);

  // True when a part was changed, added or removed since Open or Save.
  bool HasChanges() const;

  // Writes the package atomically over the file (a symbolic link's target is
  // replaced, never the link): changed parts are re-serialised, untouched ones
  // copied with their compressed bytes as they are, in entry order. False,
  // *error and *code (E_ACCESSDENIED when read-only or when the path no
  // longer names the file as opened or last saved: another program replaced
  // or changed it; STG_E_* from errno,
  // STG_E_DOCFILECORRUPT for a damaged source entry) on failure, the file
  // then whole and unchanged.
  bool Save(std::string* error, HRESULT* code);

  // Writes the package as the file `path` (the file it has open: as Save),
  // atomically: as it is when its extension is the package's own (.xlsx,
  // .docm, ...), converted when it is the legacy one of its kind (.xls,
  // .doc). A file there is replaced unless another open holds its lock.
  // Then the package is that file: path, name, lock (the old file's is
  // released) and a legacy working copy follow it, and it is writable. False,
  // *error ("<new name>: <reason>") and *code on failure (E_INVALIDARG for
  // another extension, E_NOTIMPL for a conversion that would drop macros or
  // that LibreOffice cannot make, E_ACCESSDENIED for a file in use, STG_E_*
  // from errno), the package and both files then unchanged.
  bool SaveAs(const std::string& path, std::string* error, HRESULT* code);

 private:
  class Impl;
  explicit Package(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace ovc::office
