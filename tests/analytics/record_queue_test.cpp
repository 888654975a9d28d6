// The record queue against the real receiver: batching, failed batches, capacity and
// the staging file between runs.
#include <gtest/gtest.h>

#include <stdexcept>

#include "analytics/sdk/record_queue.h"
#include "analytics/sdk/send_batch.h"
#include "tests/analytics/receiver_client.h"
#include "tests/support/test_support.h"
#include "utils/os.h"
#include "utils/text.h"

using namespace track_sdk;
using namespace AnalyticsTest;

namespace {

// The smallest record the receiver accepts, numbered by its _track_id.
std::string Record(int n) {
  return "{\"_track_id\":" + std::to_string(n) + ",\"lib\":{},\"properties\":{},\"time\":1,\"type\":\"profile_set\"}";
}

void AddRecords(RecordQueue& queue, int from, int count) {
  for (int i = from; i < from + count; ++i) queue.AddText(Record(i));
}

std::vector<std::string> Range(int from, int count) {
  std::vector<std::string> out;
  for (int i = from; i < from + count; ++i) out.push_back(Record(i));
  return out;
}

class RecordQueueTest : public ::testing::Test {
 protected:
  std::string Staging() const { return Utils::WideToUtf8(m_Dir.File(L"staging.txt")); }
  TestSupport::TempDir m_Dir;
};

}  // namespace

TEST_F(RecordQueueTest, SeventyFiveRecordsArriveAsBatchesOfThirtyThirtyFifteen) {
  const std::string channel = NewChannel("batches");
  RecordQueue queue(ReceiverUrl(channel), Staging());
  AddRecords(queue, 0, 75);
  EXPECT_TRUE(queue.FlushAll());
  EXPECT_EQ(queue.Size(), 0u);
  EXPECT_EQ(RequestCounts(channel), (std::vector<int>{30, 30, 15}));
  EXPECT_EQ(ReceivedRecords(channel), Range(0, 75));
  EXPECT_TRUE(LastSendOk());
}

TEST_F(RecordQueueTest, EmptyQueueSendsNothing) {
  const std::string channel = NewChannel("empty");
  RecordQueue queue(ReceiverUrl(channel), Staging());
  EXPECT_TRUE(queue.FlushBatch());
  EXPECT_TRUE(queue.FlushAll());
  EXPECT_TRUE(ReceivedRequests(channel).empty());
}

TEST_F(RecordQueueTest, FailedBatchStaysInFront) {
  struct Row {
    const char* name;
    std::string kind;
  } rows[] = {{"500", "status/500"}, {"201", "status/201"}, {"204", "status/204"}, {"302 not followed", "status/302"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string channel = NewChannel("fail");
    RecordQueue queue(ReceiverUrl(channel, row.kind), Staging());
    AddRecords(queue, 0, 40);
    SetLastSendOk(true);
    EXPECT_FALSE(queue.FlushAll());
    EXPECT_EQ(queue.Snapshot(), Range(0, 40));
    EXPECT_FALSE(LastSendOk());
    EXPECT_EQ(RequestCounts(channel), std::vector<int>{30});  // stops at the first failure
    EXPECT_TRUE(ReceivedRecords(channel).empty());
  }
}

TEST_F(RecordQueueTest, UnreachableServerAndTimeoutKeepTheBatch) {
  {
    SCOPED_TRACE("connection refused");
    RecordQueue queue("http://127.0.0.1:1/sa", Staging());
    AddRecords(queue, 0, 5);
    EXPECT_FALSE(queue.FlushBatch());
    EXPECT_EQ(queue.Snapshot(), Range(0, 5));
  }
  {
    SCOPED_TRACE("no answer within 3 s");  // the one real wait of the suite
    const std::string channel = NewChannel("hang");
    RecordQueue queue(ReceiverUrl(channel, "hang/6"), Staging());
    AddRecords(queue, 0, 5);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(queue.FlushBatch());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::seconds(5));
    EXPECT_EQ(queue.Snapshot(), Range(0, 5));
  }
}

TEST_F(RecordQueueTest, KeepsTheNewest1024) {
  RecordQueue queue("http://127.0.0.1:1/sa", Staging());
  AddRecords(queue, 0, 1025);
  const auto records = queue.Snapshot();
  ASSERT_EQ(records.size(), RecordQueue::kCapacity);
  EXPECT_EQ(records.front(), Record(1));
  EXPECT_EQ(records.back(), Record(1024));
}

TEST_F(RecordQueueTest, FailedBatchShortOfSpaceKeepsItsNewestRecords) {
  RecordQueue queue("unused", Staging());
  AddRecords(queue, 0, 30);
  // While the batch is on the wire, 1000 other records arrive.
  queue.SetSenderForTesting([&](const std::string&, const std::string&) {
    AddRecords(queue, 1000, 1000);
    return false;
  });
  EXPECT_FALSE(queue.FlushBatch());
  const auto records = queue.Snapshot();
  ASSERT_EQ(records.size(), RecordQueue::kCapacity);
  EXPECT_EQ(std::vector<std::string>(records.begin(), records.begin() + 24), Range(6, 24));
  EXPECT_EQ(records[24], Record(1000));
}

TEST_F(RecordQueueTest, BatchIsKeptWhenSendingThrows) {
  RecordQueue queue("unused", Staging());
  AddRecords(queue, 0, 3);
  queue.SetSenderForTesting([](const std::string&, const std::string&) -> bool { throw std::runtime_error("boom"); });
  EXPECT_FALSE(queue.FlushBatch());
  EXPECT_EQ(queue.Snapshot(), Range(0, 3));
}

TEST_F(RecordQueueTest, StagedRecordsComeBackFirstAndOnlyValidLines) {
  ASSERT_TRUE(Utils::WriteWholeFile(m_Dir.File(L"staging.txt"), Record(901) + "\n\nnot a record\n" + Record(902) +
                                                                    "\r\n{broken\n  " + Record(5) + "\n" + Record(903)));
  const std::string channel = NewChannel("staged");
  RecordQueue queue(ReceiverUrl(channel), Staging());
  AddRecords(queue, 0, 2);
  EXPECT_TRUE(queue.FlushAll());
  EXPECT_EQ(ReceivedRecords(channel),
            (std::vector<std::string>{Record(901), Record(902), Record(903), Record(0), Record(1)}));
  std::string left;
  ASSERT_TRUE(Utils::ReadWholeFile(m_Dir.File(L"staging.txt"), left));
  EXPECT_EQ(left, "");
}

TEST_F(RecordQueueTest, ShutdownStagesAndTheNextRunSendsThoseFirst) {
  {
    RecordQueue first("http://127.0.0.1:1/sa", Staging());
    AddRecords(first, 0, 3);
    first.SaveStaging();
  }
  EXPECT_EQ(FileLines(m_Dir.File(L"staging.txt")), Range(0, 3));
  const std::string channel = NewChannel("nextrun");
  RecordQueue second(ReceiverUrl(channel), Staging());
  AddRecords(second, 100, 1);
  second.SaveStaging();  // loads the earlier run's records first, then writes all
  EXPECT_EQ(FileLines(m_Dir.File(L"staging.txt")), (std::vector<std::string>{Record(0), Record(1), Record(2), Record(100)}));
}

TEST_F(RecordQueueTest, StagingLoadRespectsFreeSpace) {
  std::string lines;
  for (int i = 0; i < 10; ++i) lines += Record(i) + "\n";
  ASSERT_TRUE(Utils::WriteWholeFile(m_Dir.File(L"staging.txt"), lines));
  RecordQueue queue("unused", Staging());
  AddRecords(queue, 100, 1020);
  queue.SetSenderForTesting([](const std::string&, const std::string&) { return false; });
  queue.FlushBatch();  // loads the staged lines: 4 free places take the newest 4
  const auto records = queue.Snapshot();
  ASSERT_EQ(records.size(), RecordQueue::kCapacity);
  EXPECT_EQ(std::vector<std::string>(records.begin(), records.begin() + 4), Range(6, 4));
}
