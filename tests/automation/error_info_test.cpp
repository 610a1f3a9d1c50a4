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
  HRESULT GetGUID(GUID*) override { return E_NOTIMPL; }
  HRESULT GetSource(std::wstring*) override { return E_NOTIMPL; }
  HRESULT GetDescription(std::wstring*) override { return E_NOTIMPL; }
};

class ErrorInfoTest : public testing::Test {
 protected:
  void SetUp() override { GetErrorInfo(); }
  void TearDown() override {
    GetErrorInfo();
    EXPECT_EQ(WatchedError::count(), 0);
  }
};

TEST_F(ErrorInfoTest, SetErrorResultLeavesAnObjectThatGetTakes) {
  SetErrorInfo(MakeObject<WatchedError>());
  EXPECT_EQ(SetErrorResult(E_INVALIDARG, L"bad index", L"CLinkSet::get_Item"), E_INVALIDARG);
  EXPECT_EQ(WatchedError::count(), 0) << "the object replaced is released";
  const ComPtr<IErrorInfo> info = GetErrorInfo();
  ASSERT_TRUE(info);
  EXPECT_EQ(GetErrorInfo(), nullptr) << "taken";
  EXPECT_EQ(DescriptionOf(info.get()), L"bad index");
  SetErrorInfo(CreateErrorInfo(L"dropped", L""));
  SetErrorInfo(nullptr);
  EXPECT_EQ(GetErrorInfo(), nullptr);
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
    SetErrorInfo(MakeObject<WatchedError>());  // released when the thread ends
  };
  std::thread first(worker, 0, L"first thread");
  std::thread second(worker, 1, L"second thread");
  first.join();
  second.join();
  EXPECT_EQ(seen[0], L"first thread");
  EXPECT_EQ(seen[1], L"second thread");
  EXPECT_EQ(TakeErrorDescription(), L"main");
}

TEST_F(ErrorInfoTest, RecordsListEveryRecordAndDescribeTheFirst) {
  const ComPtr<IErrorInfo> first = CreateErrorInfo(L"Table missing", L"Provider", kSomeInterface);
  const ComPtr<IErrorInfo> second = MakeObject<WatchedError>();
  const ComPtr<IErrorInfo> list = CreateErrorRecords({first, second});
  EXPECT_EQ(DescriptionOf(list.get()), L"Table missing");

  const auto records = list.As<IErrorRecords>();
  ASSERT_TRUE(records);
  ComPtr<IErrorInfo> record;
  ASSERT_EQ(records->GetErrorInfo(1, record.Receive()), S_OK);
  EXPECT_EQ(record, second);
  EXPECT_EQ(records->GetErrorInfo(2, record.Receive()), DISP_E_BADINDEX);
  EXPECT_EQ(record, nullptr);
}

}  // namespace
}  // namespace ovc
