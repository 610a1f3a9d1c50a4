#include "automation/error_info.h"

#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>

#include "automation/com_object.h"
#include "tests/automation/live_objects.h"

namespace ovc {
namespace {

constexpr IID kSomeInterface = MakeGuid("11111111-2222-3333-4444-555555555555");

// An error object whose lifetime the test can watch.
class WatchedError final : public ComObject<IErrorInfo>,
                           public objects_testing::LiveObjects<WatchedError> {
 public:
  HRESULT GetGUID(GUID* iid) override { return Store(IID_NULL, iid); }
  HRESULT GetSource(std::wstring* source) override { return Store(std::wstring(), source); }
  HRESULT GetDescription(std::wstring* description) override {
    return Store(std::wstring(L"watched"), description);
  }

 private:
  template <class T>
  static HRESULT Store(const T& value, T* out) {
    if (out == nullptr) return E_POINTER;
    *out = value;
    return S_OK;
  }
};

class ErrorInfoTest : public testing::Test {
 protected:
  void SetUp() override { GetErrorInfo(); }
  void TearDown() override { GetErrorInfo(); }
};

TEST_F(ErrorInfoTest, CreatedObjectReportsItsFields) {
  const ComPtr<IErrorInfo> info =
      CreateErrorInfo(L"Disk on fire", L"CBridge::Save", kSomeInterface);
  GUID iid;
  std::wstring source;
  ASSERT_EQ(info->GetGUID(&iid), S_OK);
  ASSERT_EQ(info->GetSource(&source), S_OK);
  EXPECT_EQ(iid, kSomeInterface);
  EXPECT_EQ(source, L"CBridge::Save");
  EXPECT_EQ(DescriptionOf(info.get()), L"Disk on fire");
  EXPECT_EQ(info->GetGUID(nullptr), E_POINTER);
  EXPECT_EQ(info->GetSource(nullptr), E_POINTER);
  EXPECT_EQ(info->GetDescription(nullptr), E_POINTER);
  EXPECT_FALSE(info.As<IErrorRecords>()) << "a single error offers no record list";
}

TEST_F(ErrorInfoTest, GetTakesTheObjectAndLeavesNone) {
  const ComPtr<IErrorInfo> info = CreateErrorInfo(L"first", L"");
  SetErrorInfo(info);
  const ComPtr<IErrorInfo> taken = GetErrorInfo();
  EXPECT_EQ(taken, info);
  EXPECT_EQ(GetErrorInfo(), nullptr);
}

TEST_F(ErrorInfoTest, SetReplacesAndNullClears) {
  SetErrorInfo(CreateErrorInfo(L"old", L""));
  SetErrorInfo(CreateErrorInfo(L"new", L""));
  EXPECT_EQ(DescriptionOf(GetErrorInfo().get()), L"new");

  SetErrorInfo(CreateErrorInfo(L"dropped", L""));
  SetErrorInfo(nullptr);
  EXPECT_EQ(GetErrorInfo(), nullptr);
}

TEST_F(ErrorInfoTest, ReplacedAndTakenObjectsAreReleased) {
  SetErrorInfo(MakeObject<WatchedError>());
  EXPECT_EQ(WatchedError::count(), 1);
  SetErrorInfo(nullptr);
  EXPECT_EQ(WatchedError::count(), 0);

  SetErrorInfo(MakeObject<WatchedError>());
  GetErrorInfo();
  EXPECT_EQ(WatchedError::count(), 0);
}

TEST_F(ErrorInfoTest, SetErrorResultReturnsTheCodeAndLeavesTheObject) {
  EXPECT_EQ(SetErrorResult(E_INVALIDARG, L"bad index", L"CLinkSet::get_Item"), E_INVALIDARG);
  const ComPtr<IErrorInfo> info = GetErrorInfo();
  ASSERT_TRUE(info);
  std::wstring source;
  info->GetSource(&source);
  EXPECT_EQ(source, L"CLinkSet::get_Item");
  EXPECT_EQ(DescriptionOf(info.get()), L"bad index");
}

TEST_F(ErrorInfoTest, EachThreadHasItsOwnErrorObject) {
  SetErrorInfo(CreateErrorInfo(L"main", L""));
  std::latch both_set(2);
  std::wstring seen[2];
  auto worker = [&](int index, const wchar_t* text) {
    SetErrorInfo(CreateErrorInfo(text, L""));
    both_set.arrive_and_wait();
    const ComPtr<IErrorInfo> info = GetErrorInfo();
    seen[index] = info ? DescriptionOf(info.get()) : L"<none>";
  };
  std::thread first(worker, 0, L"first thread");
  std::thread second(worker, 1, L"second thread");
  first.join();
  second.join();
  EXPECT_EQ(seen[0], L"first thread");
  EXPECT_EQ(seen[1], L"second thread");
  EXPECT_EQ(DescriptionOf(GetErrorInfo().get()), L"main");
}

TEST_F(ErrorInfoTest, ThreadExitReleasesAnUntakenErrorObject) {
  std::thread([] { SetErrorInfo(MakeObject<WatchedError>()); }).join();
  EXPECT_EQ(WatchedError::count(), 0);
}

TEST_F(ErrorInfoTest, RecordsListEveryRecordAndDescribeTheFirst) {
  const ComPtr<IErrorInfo> first = CreateErrorInfo(L"Table missing", L"Provider", kSomeInterface);
  const ComPtr<IErrorInfo> second = CreateErrorInfo(L"", L"Provider");
  const ComPtr<IErrorInfo> list = CreateErrorRecords({first, second});

  EXPECT_EQ(DescriptionOf(list.get()), L"Table missing");
  GUID iid;
  list->GetGUID(&iid);
  EXPECT_EQ(iid, kSomeInterface);

  const auto records = list.As<IErrorRecords>();
  ASSERT_TRUE(records);
  uint32_t count = 0;
  ASSERT_EQ(records->GetRecordCount(&count), S_OK);
  EXPECT_EQ(count, 2u);
  ComPtr<IErrorInfo> record;
  ASSERT_EQ(records->GetErrorInfo(1, record.Receive()), S_OK);
  EXPECT_EQ(record, second);
  EXPECT_EQ(records->GetErrorInfo(2, record.Receive()), DISP_E_BADINDEX);
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(records->GetErrorInfo(0, nullptr), E_POINTER);
  EXPECT_EQ(records->GetRecordCount(nullptr), E_POINTER);
}

TEST_F(ErrorInfoTest, EmptyRecordListHasEmptyFields) {
  const ComPtr<IErrorInfo> list = CreateErrorRecords({});
  EXPECT_EQ(DescriptionOf(list.get()), L"");
  uint32_t count = 7;
  list.As<IErrorRecords>()->GetRecordCount(&count);
  EXPECT_EQ(count, 0u);
}

TEST_F(ErrorInfoTest, RecordListReleasesItsRecords) {
  {
    const ComPtr<IErrorInfo> list =
        CreateErrorRecords({MakeObject<WatchedError>(), MakeObject<WatchedError>()});
    EXPECT_EQ(WatchedError::count(), 2);
  }
  EXPECT_EQ(WatchedError::count(), 0);
}

}  // namespace
}  // namespace ovc
