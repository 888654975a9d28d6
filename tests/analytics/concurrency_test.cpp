// Several threads tracking while flushes run, and release while a detached flush is
// still on the wire. Run natively, under ThreadSanitizer and under Wine.
#include <gtest/gtest.h>

#include <thread>

#include "utils/os.h"

#include "tests/analytics/receiver_client.h"
#include "tests/analytics/tracker_fixture.h"

using namespace vexlo::analytics;
using namespace AnalyticsTest;

namespace {
constexpr int kThreads = 4;
constexpr int kEventsPerThread = 40;
constexpr int kFlushEvery = 10;
using ConcurrencyTest = TrackerFixture;
}  // namespace

TEST_F(ConcurrencyTest, TrackingFromSeveralThreadsWhileFlushing) {
  const std::string channel = NewChannel("threads");
  Start(ReceiverUrl(channel));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kEventsPerThread; ++i) {
        auto tracker = TrackerHandle::Get();
        VxContextProperties context;
        context.setProperty("vxc_ab", "IN", {3, 7});
        if (i % kFlushEvery == kFlushEvery - 1) {
          VxEventTask task;
          task.name = "t" + std::to_string(t);
          tracker->trackTask(task, context);
          tracker->trackCrash("flush " + std::to_string(t));
        } else {
          VxEventClick click;
          click.name = "c" + std::to_string(t) + "_" + std::to_string(i);
          tracker->trackClick(click, context);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  ReleaseTracker();  // sends what is still counted as pending, stages the rest
  const int flushes = kEventsPerThread / kFlushEvery;
  const size_t expected = kThreads * (kEventsPerThread - flushes + 2 * flushes);
  // A flush that succeeds resets the pending count while another thread queues: that
  // record is not sent at release but staged for the next run. None may be lost.
  const size_t received = ReceivedRecords(channel).size();
  const size_t staged = FileLines(StagingFile()).size();
  EXPECT_EQ(received + staged, expected) << received << " received, " << staged << " staged";
  EXPECT_GT(received, 0u);
}

TEST_F(ConcurrencyTest, ReleaseWhileADetachedFlushIsStillSending) {
  const std::string channel = NewChannel("release");
  Start(ReceiverUrl(channel, "delay/300/200"));
  auto tracker = TrackerHandle::Get();
  VxEventClick click;
  click.name = "c";
  tracker->trackClick(click, VxContextProperties());
  tracker->trackUninstall("u", VxContextProperties());  // its flush job runs detached and waits on the server
  tracker.reset();
  ReleaseTracker();
  EXPECT_EQ(TrackerHandle::Get(), nullptr);
  EXPECT_EQ(ReceivedRecords(channel).size(), 2u);
}
