#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/connection_point.h"
#include "automation/dispatch_impl.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "office/excel/application.h"
#include "tests/office/excel/workbook_fixture.h"

namespace ovc::excel {
namespace {

using files_testing::TempDir;
using testing::NewApplication;
using testing::Object;

ino_t InodeOf(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// An event sink that records the workbooks it is told about and cancels the
// first `cancels` closes.
class Sink final : public ComObject<DispatchImpl<IAppEvents>> {
 public:
  HRESULT WorkbookBeforeClose(IDispatch* workbook, VARIANT_BOOL* cancel) override {
    closing.push_back(workbook);
    if (cancels > 0) {
      --cancels;
      *cancel = VARIANT_TRUE;
    }
    return S_OK;
  }
  std::vector<IDispatch*> closing;
  int cancels = 0;
};

class WorkbookTest : public testing::BookTest {
 protected:
  WorkbookTest() {
    testing::WriteZip(book_, testing::MinimalWorkbook("<calcPr calcMode=\"manual\"/>"));
    Restart();
  }
  ~WorkbookTest() override { application_ = nullptr; }  // its last release still traces

  // A new application whose prompts answer answer_, its trace in trace_.
  void Restart() {
    office::Services services;
    services.prompt = [this](const std::string& file) {
      prompted_.push_back(file);
      return answer_;
    };
    services.trace = [this](const std::string& line) { trace_.push_back(line); };
    application_ = MakeObject<Application>(services);
  }

  uint32_t Advise(Sink* sink) {
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(application_->FindConnectionPoint(IAppEvents::kIid, point.Receive()), S_OK);
    uint32_t cookie = 0;
    EXPECT_EQ(point->Advise(static_cast<IAppEvents*>(sink), &cookie), S_OK);
    return cookie;
  }

  bool answer_ = true;
  std::vector<std::string> prompted_;
  std::vector<std::string> trace_;
};

TEST_F(WorkbookTest, OneOpenWorkbookIsOneObjectWhateverItsPathSpelling) {
  ComPtr<IDispatch> workbook = Open(book_);
  ASSERT_TRUE(workbook) << std::hex << status_;
  EXPECT_EQ(Get(application_.get(), L"ActiveWorkbook").dispatch(), workbook.get());
  const std::string other_spelling = folder_.File("./Book.xlsx");
  EXPECT_EQ(Open(other_spelling).get(), workbook.get());
  // A change marks it unsaved; saving replaces the file, still the open one.
  ASSERT_EQ(PutProperty(workbook.get(), L"KeepChangeHistory", Variant::Bool(true)), S_OK);
  EXPECT_EQ(Get(workbook.get(), L"Saved"), Variant::Bool(false));
  const ino_t before = InodeOf(book_);
  ASSERT_EQ(CallMethod(workbook.get(), L"Save"), S_OK);
  EXPECT_EQ(Get(workbook.get(), L"Saved"), Variant::Bool(true));
  EXPECT_NE(InodeOf(book_), before);
  EXPECT_EQ(Open(book_).get(), workbook.get());
  EXPECT_EQ(Get(workbook.get(), L"Name"), Variant(L"Book.xlsx"));
  EXPECT_EQ(Get(workbook.get(), L"ReadOnly"), Variant::Bool(false));
  // The first workbook's calculation mode becomes the application's.
  EXPECT_EQ(Get(application_.get(), L"Calculation"), Variant::I4(-4135));
}

TEST_F(WorkbookTest, OpenRefusesPasswordsAndASecondFileOfAnOpenName) {
  TempDir elsewhere;
  testing::WriteZip(elsewhere.File("Book.xlsx"), testing::MinimalWorkbook());
  ASSERT_TRUE(Open(book_));
  struct Case {
    std::string path;
    std::vector<Variant> more;
    HRESULT status;
  };
  const Variant none = Variant::Missing();
  const std::string letter = office::testing::CopyFixture(folder_, "document.docx", "Letter.xlsx");
  const Case cases[] = {
      {letter, {}, E_NOTIMPL},
      {folder_.File("Other.xlsx"), {none, none, none, Variant(L"secret")}, E_NOTIMPL},
      {folder_.File("Other.xlsx"), {none, none, none, none, Variant(L"secret")}, E_NOTIMPL},
      {elsewhere.File("Book.xlsx"), {}, E_ACCESSDENIED},
      {folder_.File("Missing.xlsx"), {}, STG_E_FILENOTFOUND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_FALSE(Open(c.path, c.more));
    EXPECT_EQ(status_, c.status);
    const std::wstring description = TakeErrorDescription();
    EXPECT_EQ(description.rfind(FromUtf8(std::filesystem::path(c.path).filename().string()), 0), 0u)
        << description;
  }
}

// SaveAs never replaces a file open in this process, read-only in another
// application included, nor leaves two open workbooks of one name.
TEST_F(WorkbookTest, SaveAsRefusesAFileOpenInThisProcess) {
  ComPtr<IDispatch> workbook = Open(book_);
  ASSERT_TRUE(workbook);
  TempDir elsewhere;
  const std::string linked = elsewhere.File("Linked.xlsx");
  const std::string named = elsewhere.File("Named.xlsx");
  testing::WriteZip(linked, testing::MinimalWorkbook());
  testing::WriteZip(folder_.File("Named.xlsx"), testing::MinimalWorkbook());
  ComPtr<IDispatch> other = NewApplication();
  ComPtr<IDispatch> reader =
      Object(Object(other.get(), L"Workbooks").get(), L"Open",
             {Variant(FromUtf8(linked)), Variant::Missing(), Variant::Bool(true)});
  ASSERT_TRUE(reader);
  ASSERT_TRUE(Open(folder_.File("Named.xlsx")));
  const std::string linked_bytes = office::testing::ReadFile(linked);
  const struct {
    std::string target;
    std::wstring error;
  } cases[] = {
      {linked,
       L"Book.xlsx: SaveAs: '" + FromUtf8(linked) + L"' is open in this program; close it first"},
      {named, L"Book.xlsx: SaveAs: '" + FromUtf8(folder_.File("Named.xlsx")) +
                  L"' of the same name is open; close it first"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CallMethod(workbook.get(), L"SaveAs", {Variant(FromUtf8(c.target))}), E_ACCESSDENIED);
    EXPECT_EQ(TakeErrorDescription(), c.error);
  }
  EXPECT_EQ(office::testing::ReadFile(linked), linked_bytes);
  EXPECT_FALSE(std::filesystem::exists(named));
  ASSERT_EQ(CallMethod(reader.get(), L"Close"), S_OK);
  EXPECT_EQ(CallMethod(workbook.get(), L"SaveAs", {Variant(FromUtf8(linked))}), S_OK);
  EXPECT_EQ(CallMethod(other.get(), L"Quit"), S_OK);
}

TEST_F(WorkbookTest, AReadOnlyWorkbookIsNeverWritten) {
  const ino_t before = InodeOf(book_);
  ComPtr<IDispatch> workbook = Open(book_, {Variant::Missing(), Variant::Bool(true)});
  ASSERT_TRUE(workbook);
  EXPECT_EQ(Get(workbook.get(), L"ReadOnly"), Variant::Bool(true));
  EXPECT_EQ(CallMethod(workbook.get(), L"Save"), E_ACCESSDENIED);
  ASSERT_EQ(PutProperty(workbook.get(), L"Saved", Variant::Bool(false)), S_OK);
  EXPECT_EQ(CallMethod(workbook.get(), L"Close", {Variant::Bool(true)}), E_ACCESSDENIED);
  ASSERT_EQ(CallMethod(application_.get(), L"Quit"), S_OK);
  EXPECT_TRUE(prompted_.empty());
  EXPECT_EQ(InodeOf(book_), before);
  EXPECT_EQ(trace_.size(), 1u);
}

TEST_F(WorkbookTest, CloseFiresTheEventAndACancelKeepsTheWorkbookOpen) {
  ComPtr<Sink> sink = MakeObject<Sink>();
  sink->cancels = 1;
  Advise(sink.get());
  ComPtr<IDispatch> workbook = Open(book_);
  ASSERT_TRUE(workbook);
  EXPECT_EQ(CallMethod(workbook.get(), L"Close", {Variant::Bool(false)}), S_OK);
  EXPECT_EQ(Get(workbook.get(), L"Saved"), Variant::Bool(true));

  EXPECT_EQ(CallMethod(workbook.get(), L"Close", {Variant::Bool(false)}), S_OK);
  EXPECT_EQ(sink->closing, (std::vector<IDispatch*>{workbook.get(), workbook.get()}));
  Variant saved;
  EXPECT_EQ(CallByName(workbook.get(), L"Saved", DISPATCH_PROPERTYGET, {}, &saved),
            RPC_E_DISCONNECTED);
  EXPECT_EQ(TakeErrorDescription(), L"Book.xlsx: has been closed");
  EXPECT_EQ(Get(application_.get(), L"ActiveWorkbook").dispatch(), nullptr);
}

TEST_F(WorkbookTest, QuitAsksForEachChangedWorkbookAndStopsWhenASinkCancels) {
  const struct Case {
    bool answer;
    int cancels;
    bool written;
    bool quit;
  } cases[] = {
      {true, 0, true, true},
      {false, 0, false, true},
      {true, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer * 10 + c.cancels);
    answer_ = c.answer;
    Restart();
    prompted_.clear();
    ComPtr<Sink> sink = MakeObject<Sink>();
    sink->cancels = c.cancels;
    Advise(sink.get());
    ComPtr<IDispatch> workbook = Open(book_);
    ASSERT_TRUE(workbook);
    ASSERT_EQ(PutProperty(workbook.get(), L"Saved", Variant::Bool(false)), S_OK);
    const ino_t before = InodeOf(book_);
    EXPECT_EQ(CallMethod(application_.get(), L"Quit"), S_OK);
    EXPECT_EQ(InodeOf(book_) != before, c.written);
    EXPECT_EQ(prompted_.size(), c.cancels == 0 ? 1u : 0u);
    Variant visible;
    EXPECT_EQ(CallByName(application_.get(), L"Visible", DISPATCH_PROPERTYGET, {}, &visible),
              c.quit ? RPC_E_DISCONNECTED : S_OK);
  }
}

TEST_F(WorkbookTest, TheLastReleaseWithoutQuitClosesWithoutSaving) {
  const ino_t before = InodeOf(book_);
  ComPtr<IDispatch> workbook = Open(book_);
  ASSERT_TRUE(workbook);
  ASSERT_EQ(PutProperty(workbook.get(), L"Saved", Variant::Bool(false)), S_OK);
  application_ = nullptr;
  EXPECT_EQ(InodeOf(book_), before);
  ASSERT_EQ(trace_.size(), 1u);
  EXPECT_NE(trace_[0].find("Book.xlsx: changes discarded"), std::string::npos);
  Variant saved;
  EXPECT_EQ(CallByName(workbook.get(), L"Saved", DISPATCH_PROPERTYGET, {}, &saved),
            RPC_E_DISCONNECTED);
  // The file's lock went with it: another application opens it writable.
  application_ = MakeObject<Application>(office::Services{});
  ComPtr<IDispatch> again = Open(book_);
  ASSERT_TRUE(again);
  EXPECT_EQ(Get(again.get(), L"ReadOnly"), Variant::Bool(false));
}

}  // namespace
}  // namespace ovc::excel
