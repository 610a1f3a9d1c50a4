#include "office/package/package.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "automation/text.h"
#include "office/package/archive.h"
#include "office/package/atomic_save.h"
#include "office/package/content_types.h"
#include "office/package/file_kind.h"
#include "office/package/file_lock.h"
#include "office/package/file_system.h"
#include "office/package/legacy_converter.h"
#include "office/package/parsed_part.h"
#include "office/package/part_name.h"
#include "office/package/relationships.h"

namespace ovc::office {
namespace {

constexpr std::string_view kStrictNamespaces = "http://purl.oclc.org/ooxml/";
constexpr std::string_view kBinaryWorkbookType =
    "application/vnd.ms-excel.sheet.binary.macroEnabled.main";
constexpr std::string_view kNotOpenXml = "not an Office Open XML package";
constexpr std::string_view kChangedMeanwhile =
    "changed or replaced by another program since it was opened: not saved, to keep that "
    "program's version; close it and open it again";
constexpr std::string_view kInUse =
    "open in another application or program: not replaced; close it there first";
constexpr std::string_view kAppeared = "written by another program meanwhile: not replaced";
constexpr std::string_view kRelationshipsType =
    "application/vnd.openxmlformats-package.relationships+xml";

// The storage status of an errno: a full disk, refused access, a missing
// file or folder; anything else a read or write fault.
HRESULT StorageError(int error_number, bool writing) {
  switch (error_number) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return STG_E_MEDIUMFULL;
    case EACCES:
    case EPERM:
    case EROFS:
      return STG_E_ACCESSDENIED;
    case ENOENT:
      return STG_E_FILENOTFOUND;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return STG_E_PATHNOTFOUND;
    case ENOMEM:
      return STG_E_INSUFFICIENTMEMORY;
    case EAGAIN:
      return STG_E_LOCKVIOLATION;
    default:
      return writing ? STG_E_WRITEFAULT : STG_E_READFAULT;
  }
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// One zip entry of the package and, once parsed, its XML.
struct PackageEntry {
  std::string name;           // as stored in the zip ("xl/workbook.xml")
  int64_t source_index = -1;  // in the opened archive; -1 for an added part
  std::unique_ptr<ParsedPart> xml;
  bool changed = false;
  bool removed = false;
};

class Package::Impl {
 public:
  Impl(std::string path, const OpenOptions& options)
      : path_(std::move(path)),
        file_name_(BaseName(path_)),
        options_(options),
        file_system_(options.file_system != nullptr ? options.file_system : &FileSystem::Real()),
        total_left_(options.limits.max_total_bytes) {}

  ~Impl() {
    if (fd_ >= 0) ::close(fd_);
  }

  // Opens the file, checks its format and reads the package's structure;
  // false with *error and *code.
  bool Open(std::string* error, HRESULT* code) {
    bool locked = false;
    const bool read_only = options_.read_only || !FolderAllowsSaving();
    if (int failure = OpenPackageFile(path_, read_only, options_.trace, &fd_, &locked)) {
      return Fail(std::strerror(failure), StorageError(failure, false), error, code);
    }
    read_only_ = !locked;
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
      return Fail(std::strerror(errno), StorageError(errno, false), error, code);
    }
    version_ = FileVersion::Of(status);
    FileKind kind = FileKind::kUnknown;
    if (int failure = SniffFileKind(ReadFileAt(fd_), &kind)) {
      return Fail(std::strerror(failure), StorageError(failure, false), error, code);
    }
    if (kind == FileKind::kEncrypted) return Refuse("encrypted package", error, code);
    if (kind == FileKind::kEncryptedLegacy) {
      return Refuse("encrypted .xls/.doc file (a password to open)", error, code);
    }
    if (kind == FileKind::kDamagedCompound) {
      return Corrupt("damaged compound file (.xls/.doc)", error, code);
    }
    if (kind == FileKind::kLegacyBinary && !OpenWorkingCopy(error, code)) return false;
    if (kind != FileKind::kZip && kind != FileKind::kLegacyBinary) {
      return Refuse(kNotOpenXml, error, code);
    }
    std::string reason;
    archive_ = Archive::Open(ArchiveFd(), &reason);
    if (archive_ == nullptr) return Corrupt("damaged zip archive: " + reason, error, code);
    if (!IndexEntries(&reason)) return Corrupt(reason, error, code);
    if (!HasPart(std::string(kContentTypesPart))) return Refuse(kNotOpenXml, error, code);
    if (!FindMainPart(error, code)) return false;
    if (!read_only_) RemoveLeftoverTemporaries(*file_system_, path_, options_.trace);
    return true;
  }

  bool HasPart(const std::string& part) const { return by_key_.count(PartKey(part)) != 0; }

  std::string ContentType(const std::string& part) {
    if (!HasPart(part)) return "";
    const ParsedPart* types = Parse(std::string(kContentTypesPart), nullptr);
    return types == nullptr ? "" : LookupContentType(types->document, part);
  }

  std::vector<std::string> PartNames() const {
    std::vector<std::string> names;
    for (const std::unique_ptr<PackageEntry>& entry : entries_) {
      if (!entry->removed && entry->name.back() != '/')
        names.push_back(PartNameOfEntry(entry->name));
    }
    return names;
  }

  bool Relationships(const std::string& source, std::vector<Relationship>* relationships,
                     std::string* error) {
    relationships->clear();
    const std::string rels = RelationshipsPartName(source);
    if (!HasPart(rels)) return true;
    const ParsedPart* part = Parse(rels, error);
    if (part == nullptr) return false;
    std::string reason;
    if (ReadRelationships(part->document, source, relationships, &reason)) return true;
    *error = Message(rels + ": " + reason);
    return false;
  }

  ParsedPart* Parse(const std::string& part, std::string* error) {
    PackageEntry* entry = Find(part);
    if (entry == nullptr) {
      if (error != nullptr) *error = Message(part + ": no such part");
      return nullptr;
    }
    if (entry->xml != nullptr) return entry->xml.get();
    std::string bytes;
    std::string reason;
    auto xml = std::make_unique<ParsedPart>();
    if (!Inflate(*entry, &bytes, &reason) ||
        !ParsePart(std::move(bytes), options_.limits.max_depth, xml.get(), &reason)) {
      if (error != nullptr) *error = Message(part + ": " + reason);
      return nullptr;
    }
    entry->xml = std::move(xml);
    return entry->xml.get();
  }

  bool ReadPart(const std::string& part, std::string* bytes, std::string* error) {
    PackageEntry* entry = Find(part);
    std::string reason = "no such part";
    if (entry != nullptr && entry->xml != nullptr) {
      *bytes = SerializePart(*entry->xml);
      return true;
    }
    if (entry != nullptr && Inflate(*entry, bytes, &reason)) return true;
    *error = Message(part + ": " + reason);
    return false;
  }

  void MarkChanged(const std::string& part) {
    PackageEntry* entry = Find(part);
    if (entry != nullptr && entry->xml != nullptr) entry->changed = true;
  }

  pugi::xml_document* AddXmlPart(const std::string& part, std::string_view content_type,
                                 const std::string& source, std::string_view relationship_type,
                                 std::string* relationship_id, std::string* error) {
    if (!IsValidPartName(part) || HasPart(part) ||
        PartKey(part).find("/_rels/") != std::string::npos) {
      *error = Message(part + ": not a new part name");
      return nullptr;
    }
    if (source != kPackageRoot && !HasPart(source)) {
      *error = Message(source + ": no such part");
      return nullptr;
    }
    ParsedPart* types = Parse(std::string(kContentTypesPart), error);
    ParsedPart* rels = types == nullptr ? nullptr : RelationshipsFor(source, error);
    if (rels == nullptr) return nullptr;
    if (!SetContentType(&types->document, part, content_type)) {
      *error = Message(std::string(kContentTypesPart) + ": not a content types part");
      return nullptr;
    }
    const std::string id = AddRelationship(&rels->document, source, relationship_type, part);
    if (id.empty()) {
      RemoveOverride(&types->document, part);
      *error = Message(RelationshipsPartName(source) + ": not a relationships part");
      return nullptr;
    }
    MarkChanged(std::string(kContentTypesPart));
    MarkChanged(RelationshipsPartName(source));
    if (relationship_id != nullptr) *relationship_id = id;
    return &AddEntry(part)->xml->document;
  }

  bool RemovePart(const std::string& part, std::string* error) {
    PackageEntry* entry = Find(part);
    if (entry == nullptr || PartKey(part) == PartKey(kContentTypesPart)) {
      *error = Message(part + ": no such part");
      return false;
    }
    // Every relationships part is read before anything changes.
    std::vector<std::pair<std::string, ParsedPart*>> sources;
    for (const std::string& name : PartNames()) {
      std::string source;
      if (!SourceOfRelationshipsPart(name, &source)) continue;
      ParsedPart* rels = Parse(name, error);
      if (rels == nullptr) return false;
      sources.emplace_back(std::move(source), rels);
    }
    ParsedPart* types = Parse(std::string(kContentTypesPart), error);
    if (types == nullptr) return false;
    for (const auto& [source, rels] : sources) {
      if (RemoveRelationshipsTo(&rels->document, source, part))
        MarkChanged(RelationshipsPartName(source));
    }
    if (RemoveOverride(&types->document, part)) MarkChanged(std::string(kContentTypesPart));
    Drop(part);
    Drop(RelationshipsPartName(part));
    return true;
  }

  bool HasChanges() const {
    for (const std::unique_ptr<PackageEntry>& entry : entries_) {
      if (entry->changed || entry->removed || entry->source_index < 0) return true;
    }
    return false;
  }

  bool Save(std::string* error, HRESULT* code) {
    if (read_only_) return Fail("opened read-only", E_ACCESSDENIED, error, code);
    std::string bytes;
    if (!Serialize(&bytes, error, code)) return false;
    if (legacy_ != nullptr && !legacy_->ConvertBack(bytes, &bytes, error, code)) return false;
    int fd = -1;
    const int failure = SaveAtomically(*file_system_, path_, bytes, version_, options_.trace, &fd);
    if (failure != 0 && legacy_ != nullptr) legacy_->Discard();
    if (failure != 0) return SaveFailed(failure, error, code);
    ::close(fd_);
    fd_ = fd;
    struct stat status {};
    if (::fstat(fd_, &status) == 0) version_ = FileVersion::Of(status);
    if (legacy_ == nullptr || legacy_->Adopt()) Reindex();
    RemoveLeftoverTemporaries(*file_system_, path_, options_.trace);
    return true;
  }

  bool SaveAs(const std::string& path, std::string* error, HRESULT* code) {
    if (SameFile(fd_, path)) return Save(error, code);
    const std::string name = BaseName(path);
    bool convert = false;
    if (!ChooseFormat(name, &convert, error, code)) return false;
    std::string bytes;
    if (!Serialize(&bytes, error, code)) return false;
    std::unique_ptr<LegacyWorkingCopy> legacy;
    if (convert) {
      legacy = LegacyWorkingCopy::Create(name, IsWordProcessing(), Converter(), error, code);
      if (legacy == nullptr || !legacy->ConvertBack(bytes, &bytes, error, code)) return false;
      if (!legacy->Adopt()) return Fail(std::strerror(errno), STG_E_READFAULT, error, code);
    }
    int fd = -1;
    if (const int failure = SaveAtomicallyAs(*file_system_, path, bytes, options_.trace, &fd)) {
      return SaveFailed(failure, error, code, name);
    }
    ::close(fd_);
    fd_ = fd;
    path_ = path;
    file_name_ = name;
    read_only_ = false;
    legacy_ = std::move(legacy);
    struct stat status {};
    if (::fstat(fd_, &status) == 0) version_ = FileVersion::Of(status);
    Reindex();
    RemoveLeftoverTemporaries(*file_system_, path_, options_.trace);
    return true;
  }

  bool IsFile(const std::string& path) const { return SameFile(fd_, path); }

  const std::string& path() const { return path_; }
  const std::string& file_name() const { return file_name_; }
  const std::string& main_part() const { return main_part_; }
  bool read_only() const { return read_only_; }
  bool converted() const { return legacy_ != nullptr; }

 private:
  std::string Message(const std::string& reason) const { return file_name_ + ": " + reason; }

  // The file the zip archive is read from: the original, or a legacy
  // file's working copy.
  int ArchiveFd() const { return legacy_ != nullptr ? legacy_->fd() : fd_; }

  // Converts the legacy file into its working copy: a .docx for a word
  // processing opener or a ".doc" file, else an .xlsx.
  bool OpenWorkingCopy(std::string* error, HRESULT* code) {
    const bool word_processing =
        options_.kind ? *options_.kind == DocumentKind::kWordProcessing
                      : file_name_.size() > 4 && file_name_.substr(file_name_.size() - 4) == ".doc";
    legacy_ = LegacyWorkingCopy::Open(fd_, file_name_, word_processing, Converter(), error, code);
    return legacy_ != nullptr && KeepMacroProject(error, code);
  }

  // The working copy holds no VBA project: a legacy file with one opens
  // read-only, so that no save drops the user's macros unnoticed.
  bool KeepMacroProject(std::string* error, HRESULT* code) {
    bool holds = false;
    if (const int failure = HoldsMacroProject(ReadFileAt(fd_), &holds)) {
      return Fail(std::strerror(failure), StorageError(failure, false), error, code);
    }
    if (!holds || read_only_) return true;
    read_only_ = true;
    if (options_.trace) {
      options_.trace(Message(
          "opened read-only: its VBA project does not survive the conversion a save needs"));
    }
    return true;
  }

  // The package as a save writes it: changed parts re-serialised, the
  // others copied with their compressed bytes, in entry order.
  bool Serialize(std::string* bytes, std::string* error, HRESULT* code) {
    std::vector<Archive::Output> outputs;
    for (const std::unique_ptr<PackageEntry>& entry : entries_) {
      if (entry->removed) continue;
      Archive::Output output;
      output.name = entry->name;
      if (entry->changed || entry->source_index < 0) {
        output.data = SerializePart(*entry->xml);
        output.time_of = entry->source_index;
      } else {
        output.source_index = entry->source_index;
      }
      outputs.push_back(std::move(output));
    }
    std::string reason;
    return archive_->Write(outputs, bytes, &reason) || Corrupt(reason, error, code);
  }

  // The failure `failure` of an atomic save over the package's own file,
  // or as the new file `name`.
  bool SaveFailed(int failure, std::string* error, HRESULT* code,
                  const std::string& name = "") const {
    std::string reason = std::strerror(failure);
    *code = StorageError(failure, true);
    if (failure == kFileChangedMeanwhile || failure == kFileInUse) {
      *code = E_ACCESSDENIED;
      reason = failure == kFileInUse ? kInUse : name.empty() ? kChangedMeanwhile : kAppeared;
    }
    *error = (name.empty() ? file_name_ : name) + ": " + reason;
    return false;
  }

  // Whether a save as the file `name` writes the package as it is (its
  // extension is the package's own) or *convert-s it to the legacy format
  // of its kind. Any other extension is refused (E_INVALIDARG), and so is
  // the conversion of a package with macros, which the legacy file would
  // not keep (E_NOTIMPL).
  bool ChooseFormat(const std::string& name, bool* convert, std::string* error,
                    HRESULT* code) const {
    const std::string_view own = PackageExtension(main_type_);
    const std::string_view legacy = IsWordProcessing() ? "doc" : "xls";
    const size_t dot = name.rfind('.');
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    *convert = EqualsAsciiNoCase(extension, legacy);
    if (*convert && own.ends_with('m')) {
      *code = E_NOTIMPL;
      *error = name + ": its macros do not survive the conversion to ." + std::string(legacy);
      return false;
    }
    if (*convert || EqualsAsciiNoCase(extension, own)) return true;
    *code = E_INVALIDARG;
    *error = name + ": not a name this " + (IsWordProcessing() ? "document" : "workbook") +
             " can be saved as: it takes the extension ." + std::string(own) + " or ." +
             std::string(legacy);
    return false;
  }

  bool IsWordProcessing() const {
    return DocumentKindOf(main_type_) == DocumentKind::kWordProcessing;
  }

  ConverterOptions Converter() const {
    return options_.converter != nullptr ? *options_.converter : DefaultConverterOptions();
  }

  bool Fail(std::string_view reason, HRESULT status, std::string* error, HRESULT* code) const {
    *error = Message(std::string(reason));
    *code = status;
    return false;
  }
  bool Refuse(std::string_view reason, std::string* error, HRESULT* code) const {
    return Fail(std::string(reason) + ": not supported", E_NOTIMPL, error, code);
  }
  bool Corrupt(const std::string& reason, std::string* error, HRESULT* code) const {
    return Fail(reason, STG_E_DOCFILECORRUPT, error, code);
  }

  // Whether the folder of the file lets an atomic save replace it; traced
  // when not. True when the path leads nowhere (the open then says why).
  bool FolderAllowsSaving() const {
    const int failure = CheckFolderTakesSave(*file_system_, path_);
    if (failure != 0 && options_.trace) {
      options_.trace(path_ + ": folder not writable (" + std::strerror(failure) +
                     "); opened read-only");
    }
    return failure == 0;
  }

  bool IndexEntries(std::string* reason) {
    const uint64_t count = archive_->entry_count();
    if (count > options_.limits.max_entries) {
      *reason = "more than " + std::to_string(options_.limits.max_entries) + " entries";
      return false;
    }
    for (uint64_t index = 0; index < count; ++index) {
      auto entry = std::make_unique<PackageEntry>();
      entry->name = archive_->EntryName(index);
      entry->source_index = static_cast<int64_t>(index);
      if (entry->name.empty()) {
        *reason = "entry " + std::to_string(index) + " has no name";
        return false;
      }
      const bool folder = entry->name.back() == '/';
      if (!folder &&
          !by_key_.emplace(PartKey(PartNameOfEntry(entry->name)), entries_.size()).second) {
        *reason = "two parts named " + PartNameOfEntry(entry->name);
        return false;
      }
      entries_.push_back(std::move(entry));
    }
    return true;
  }

  // Finds the officeDocument relationship and checks the main part.
  bool FindMainPart(std::string* error, HRESULT* code) {
    std::vector<Relationship> relationships;
    if (!Relationships(std::string(kPackageRoot), &relationships, error)) {
      *code = STG_E_DOCFILECORRUPT;
      return false;
    }
    for (const Relationship& relationship : relationships) {
      if (relationship.type.starts_with(kStrictNamespaces))
        return Refuse("Strict Open XML", error, code);
      if (relationship.type == kOfficeDocumentRelationship && !relationship.external) {
        main_part_ = relationship.part;
        break;
      }
    }
    if (main_part_.empty()) return Refuse(kNotOpenXml, error, code);
    if (!HasPart(main_part_)) return Corrupt(main_part_ + ": no such part", error, code);
    const ParsedPart* types = Parse(std::string(kContentTypesPart), error);
    if (types == nullptr) {
      *code = STG_E_DOCFILECORRUPT;
      return false;
    }
    const std::string& type = main_type_ = LookupContentType(types->document, main_part_);
    if (type == kBinaryWorkbookType) return Refuse("binary workbook (.xlsb)", error, code);
    const std::string mismatch =
        options_.kind ? KindMismatch(*options_.kind, DocumentKindOf(type)) : "";
    return mismatch.empty() || Refuse(mismatch, error, code);
  }

  PackageEntry* Find(const std::string& part) {
    const auto found = by_key_.find(PartKey(part));
    return found == by_key_.end() ? nullptr : entries_[found->second].get();
  }

  bool Inflate(const PackageEntry& entry, std::string* bytes, std::string* reason) {
    if (entry.source_index < 0) {
      *reason = "no such part";
      return false;
    }
    return archive_->Read(static_cast<uint64_t>(entry.source_index), options_.limits.max_part_bytes,
                          &total_left_, bytes, reason);
  }

  PackageEntry* AddEntry(const std::string& part) {
    auto entry = std::make_unique<PackageEntry>();
    entry->name = part.substr(1);
    entry->xml = std::make_unique<ParsedPart>();
    by_key_[PartKey(part)] = entries_.size();
    entries_.push_back(std::move(entry));
    return entries_.back().get();
  }

  // The parsed relationships part of `source`, created (with its content
  // type) when it has none.
  ParsedPart* RelationshipsFor(const std::string& source, std::string* error) {
    const std::string name = RelationshipsPartName(source);
    if (HasPart(name)) return Parse(name, error);
    ParsedPart* types = Parse(std::string(kContentTypesPart), error);
    if (types == nullptr) return nullptr;
    SetContentType(&types->document, name, kRelationshipsType);
    PackageEntry* entry = AddEntry(name);
    InitRelationships(&entry->xml->document);
    entry->xml->prolog.clear();
    return entry->xml.get();
  }

  void Drop(const std::string& part) {
    const auto found = by_key_.find(PartKey(part));
    if (found == by_key_.end()) return;
    PackageEntry& entry = *entries_[found->second];
    entry.removed = true;
    entry.xml.reset();
    by_key_.erase(found);
  }

  // After a save the new file is the source of every kept entry, in order.
  void Reindex() {
    std::string reason;
    std::unique_ptr<Archive> reopened = Archive::Open(ArchiveFd(), &reason);
    // Else the old archive stays the source, and the parts written from
    // memory stay marked so that later saves write them again.
    if (reopened == nullptr) return;
    archive_ = std::move(reopened);
    std::vector<std::unique_ptr<PackageEntry>> entries;
    for (std::unique_ptr<PackageEntry>& entry : entries_) {
      if (entry->removed) continue;
      entry->source_index = static_cast<int64_t>(entries.size());
      entry->changed = false;
      entries.push_back(std::move(entry));
    }
    entries_ = std::move(entries);
    by_key_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i]->name.back() != '/') by_key_[PartKey(PartNameOfEntry(entries_[i]->name))] = i;
    }
  }

  std::string path_;
  std::string file_name_;
  OpenOptions options_;
  FileSystem* file_system_;
  uint64_t total_left_;
  int fd_ = -1;
  bool read_only_ = true;
  FileVersion version_;                        // of the file as opened or last saved
  std::unique_ptr<LegacyWorkingCopy> legacy_;  // of a legacy file; null for a package
  std::unique_ptr<Archive> archive_;
  std::vector<std::unique_ptr<PackageEntry>> entries_;
  std::unordered_map<std::string, size_t> by_key_;
  std::string main_part_;
  std::string main_type_;  // the main part's content type
};

std::unique_ptr<Package> Package::Open(const std::string& path, const OpenOptions& options,
                                       std::string* error, HRESULT* code) {
  auto impl = std::make_unique<Impl>(path, options);
  if (!impl->Open(error, code)) return nullptr;
  return std::unique_ptr<Package>(new Package(std::move(impl)));
}

Package::Package(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Package::~Package() = default;

bool Package::is_read_only() const { return impl_->read_only(); }
bool Package::is_converted() const { return impl_->converted(); }
const std::string& Package::path() const { return impl_->path(); }
const std::string& Package::file_name() const { return impl_->file_name(); }
bool Package::IsFile(const std::string& path) const { return impl_->IsFile(path); }
const std::string& Package::MainDocumentPartName() const { return impl_->main_part(); }
std::string Package::ContentType(const std::string& part) const { return impl_->ContentType(part); }
bool Package::HasPart(const std::string& part) const { return impl_->HasPart(part); }
std::vector<std::string> Package::PartNames() const { return impl_->PartNames(); }

bool Package::Relationships(const std::string& source, std::vector<Relationship>* relationships,
                            std::string* error) {
  return impl_->Relationships(source, relationships, error);
}

bool Package::RelatedParts(const std::string& source, std::string_view type,
                           std::vector<std::string>* parts, std::string* error) {
  std::vector<Relationship> relationships;
  if (!impl_->Relationships(source, &relationships, error)) return false;
  parts->clear();
  for (const Relationship& relationship : relationships) {
    if (!relationship.external && relationship.type == type) parts->push_back(relationship.part);
  }
  return true;
}

pugi::xml_document* Package::XmlPart(const std::string& part, std::string* error) {
  ParsedPart* parsed = impl_->Parse(part, error);
  return parsed == nullptr ? nullptr : &parsed->document;
}

bool Package::ReadPart(const std::string& part, std::string* bytes, std::string* error) {
  return impl_->ReadPart(part, bytes, error);
}

void Package::MarkChanged(const std::string& part) { impl_->MarkChanged(part); }

pugi::xml_document* Package::AddXmlPart(const std::string& part, std::string_view content_type,
                                        const std::string& source,
                                        std::string_view relationship_type,
                                        std::string* relationship_id, std::string* error) {
  return impl_->AddXmlPart(part, content_type, source, relationship_type, relationship_id, error);
}

bool Package::RemovePart(const std::string& part, std::string* error) {
  return impl_->RemovePart(part, error);
}

bool Package::HasChanges() const { return impl_->HasChanges(); }

bool Package::Save(std::string* error, HRESULT* code) { return impl_->Save(error, code); }

bool Package::SaveAs(const std::string& path, std::string* error, HRESULT* code) {
  return impl_->SaveAs(path, error, code);
}

}  // namespace ovc::office
