// ovcbridge bridge export | import: a Bridge as an XML document, with its
// files when it moves to another database.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <pugixml.hpp>
#include <sstream>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "cli/host_session.h"

namespace ovc::cli {
namespace {

namespace fs = std::filesystem;

struct TransferArguments {
  int32_t oid = 0;
  std::string xml;
  std::string files;
  std::string name;
};

// The attributes of a File element that the Bridge's App properties keep.
constexpr std::pair<const char*, const wchar_t*> kFileProperties[] = {
    {"BeforeToAppMacro", L"MacroPreExport"},
    {"BeforeFromAppMacro", L"MacroPreImport"},
    {"AfterToAppMacro", L"MacroPostExport"},
    {"AfterFromAppMacro", L"MacroPostImport"},
    {"ReleaseMacro", L"MacroRelease"}};

fs::path TemporaryFile(const char* extension) {
  return fs::temp_directory_path() / ("ovcbridge-" + std::to_string(getpid()) + extension);
}

void CopyFiles(const Object& bridge, const fs::path& folder) {
  fs::create_directories(folder);
  const int32_t count = bridge.Number(L"CountApps");
  for (int32_t index = 0; index < count; ++index) {
    const Object app = bridge.GetObject(L"ItemApp", {Variant(index)});
    fs::copy_file(app.Text(L"Path"), folder / app.Text(L"FullName"),
                  fs::copy_options::overwrite_existing);
  }
}

int Export(const Context& context, const TransferArguments& arguments) {
  HostSession session(context.options);
  OpenedBridge opened(arguments.oid);
  const fs::path target = arguments.xml.empty() ? TemporaryFile(".xml") : fs::path(arguments.xml);
  opened.bridge().Call(L"WriteToXML", {Variant(target.wstring())});
  if (!arguments.files.empty()) CopyFiles(opened.bridge(), arguments.files);
  if (arguments.xml.empty()) {
    std::cout << std::ifstream(target, std::ios::binary).rdbuf() << std::flush;
    fs::remove(target);
    return kSuccess;
  }
  context.console.Note("exported Bridge " + std::to_string(arguments.oid) + " to " + arguments.xml +
                       (arguments.files.empty() ? "" : ", its files to " + arguments.files));
  context.console.Result(
      {{"oid", arguments.oid}, {"xml", arguments.xml}, {"files", arguments.files}}, "");
  return kSuccess;
}

pugi::xml_document LoadDocument(const std::string& path) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_file(path.c_str());
  if (!parsed || !document.child("Bridge")) {
    throw Failure{E_INVALIDARG, FromUtf8(path + " is no Bridge document: " + parsed.description())};
  }
  return document;
}

// Where a File of the document comes from: the folder given, else the file
// record it names in this database.
std::wstring SourceOf(const pugi::xml_node file, const TransferArguments& arguments,
                      const HostSession& session) {
  if (!arguments.files.empty()) {
    const fs::path path = fs::path(arguments.files) / file.attribute("FileName").value();
    if (!fs::is_regular_file(path)) {
      throw Failure{E_INVALIDARG, FromUtf8("the Bridge's file " + path.string() + " is missing")};
    }
    return path.wstring();
  }
  const Object service = Object::Create(L"Orvan.FileService");
  return service.Text(
      L"GetCopy", {Variant(file.attribute("OID").as_int()), Variant(session.workspace().get())});
}

// Adds the document's files to the Bridge as new files of its own.
void AddFiles(const Object& bridge, const pugi::xml_node files, const TransferArguments& arguments,
              const HostSession& session) {
  for (const pugi::xml_node file : files.children("File")) {
    const Object app = bridge.GetObject(L"AddApp", {Variant(SourceOf(file, arguments, session))});
    app.Put(L"Enabled", Variant::Bool(file.attribute("Enabled").as_int() != 0));
    for (const auto& [attribute, property] : kFileProperties) {
      app.Put(property, Variant(FromUtf8(file.attribute(attribute).value())));
    }
  }
}

int Import(const Context& context, const TransferArguments& arguments) {
  HostSession session(context.options);
  pugi::xml_document document = LoadDocument(arguments.xml);
  pugi::xml_node root = document.child("Bridge");
  // The document's files and numbers belong to the Bridge it came from.
  pugi::xml_document files;
  files.append_copy(root.child("BridgeFiles"));
  root.remove_child("BridgeFiles");
  for (pugi::xml_node linkset : root.child("Linksets").children("Linkset")) {
    linkset.attribute("OID").set_value("-1");
  }
  std::ostringstream text;
  document.save(text, "", pugi::format_raw);
  const Object bridge = Object::Create(L"OVCBridgeSvcs.Bridge");
  bridge.Call(L"Create");
  const int32_t oid = bridge.Number(L"OID");
  try {
    bridge.Call(L"ReadXML", {Variant(FromUtf8(text.str()))});
    bridge.Put(L"OID", Variant(oid));
    if (!arguments.name.empty()) bridge.Put(L"Name", Variant(FromUtf8(arguments.name)));
    AddFiles(bridge, files.child("BridgeFiles"), arguments, session);
    bridge.Call(L"Save", {Variant::Bool(false)});
  } catch (const Failure&) {
    bridge.Put(L"OID", Variant(oid));
    bridge.Call(L"Delete");
    bridge.Call(L"FinalCleanUp");
    throw;
  }
  bridge.Call(L"ReleaseLock");
  bridge.Call(L"FinalCleanUp");
  context.console.Note("imported " + arguments.xml + " as Bridge " + std::to_string(oid));
  context.console.Result({{"oid", oid}}, std::to_string(oid));
  return kSuccess;
}

}  // namespace

void AddBridgeTransferCommands(CLI::App& bridge, Context& context) {
  auto arguments = std::make_shared<TransferArguments>();
  CLI::App* export_command = bridge.add_subcommand("export", "Write a Bridge as an XML document");
  export_command->add_option("ID", arguments->oid, "The Bridge's OID")
      ->required()
      ->transform(OidOption());
  export_command->add_option("FILE.xml", arguments->xml,
                             "Where to write (default: standard output)");
  export_command->add_option("--files", arguments->files,
                             "Copy the Bridge's workbooks and documents into this folder too");
  export_command->footer(
      "Examples:\n  ovcbridge bridge export 1 pumps.xml\n"
      "  ovcbridge bridge export 1 pumps.xml --files pumps-files   # to move it to another "
      "database");
  export_command->callback([&context, arguments] {
    context.action = [&context, arguments] { return Export(context, *arguments); };
  });

  CLI::App* import = bridge.add_subcommand("import", "Store a Bridge from an XML document");
  import->add_option("FILE.xml", arguments->xml, "The Bridge document")
      ->required()
      ->check(CLI::ExistingFile);
  import->add_option("--name", arguments->name, "The new Bridge's name");
  import
      ->add_option("--files", arguments->files,
                   "Take its files from this folder (from another database); without, the "
                   "files stored in this database")
      ->check(CLI::ExistingDirectory);
  import->footer(
      "Examples:\n  ovcbridge bridge import pumps.xml --name \"Pump sizing 2\"\n"
      "  ovcbridge --db other.orvan bridge import pumps.xml --files pumps-files");
  import->callback([&context, arguments] {
    context.action = [&context, arguments] { return Import(context, *arguments);
};
}  // namespace ovc::cli
);
}

}  // namespace ovc::cli
