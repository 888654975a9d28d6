// Analytics throughput: events tracked through the tracker into the queue, then sent
// in batches of 30 (gzip, Base64, percent-encoding, POST) to a local receiver.
// Prints one JSON object. usage: analytics_bench SERVER_URL [ROUNDS]
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "analytics/sdk/body_encoding.h"
#include "analytics/sdk/sdk.h"
#include "analytics/sdk/send_batch.h"
#include "analytics/tracker/tracker_handle.h"

namespace {

constexpr int kDefaultRounds = 5;
constexpr int kEventsPerRound = 1020;  // stays below the queue's capacity
constexpr int kTrackerCalls = 200;
constexpr size_t kBatch = track_sdk::RecordQueue::kBatchSize;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: analytics_bench SERVER_URL [ROUNDS]\n", stderr);
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultRounds;
  curl_global_init(CURL_GLOBAL_ALL);
  namespace va = vexlo::analytics;
  va::TrackerParams params;
  params.appName = "Parlino.downloader";
  params.appVersion = "1.7.9";
  params.appStore = "ParlinoSetup.exe";
  params.dlAppId = "Parlino";
  params.serverUrl = argv[1];
  va::CreateTracker(params);
  track_sdk::SetLastSendOk(true);  // measure on this thread, no detached flushes
  auto tracker = va::TrackerHandle::Get();

  using Clock = std::chrono::steady_clock;
  Clock::duration trackTime{}, sendTime{};
  size_t compressedBytes = 0, jsonBytes = 0, batches = 0;
  bool allSent = true;
  for (int round = 0; round < rounds; ++round) {
    const auto t0 = Clock::now();
    for (int i = 0; i < kEventsPerRound; ++i) {
      // The properties trackTask builds for the installer's task reports.
      track_sdk::PropertiesNode properties;
      properties.SetString("vx_task_name", "开始下载大包");
      properties.SetNumber("vx_task_elapsed", static_cast<double>(static_cast<float>(i) / 10));
      properties.SetString("vx_task_result", "Success");
      properties.SetString("vx_reason", "round " + std::to_string(round));
      properties.SetBool("$is_first_time", true);
      properties.SetString("vxc_ab", "IN");
      track_sdk::Sdk::TrackEvent("VxEventTask", properties);
    }
    const auto t1 = Clock::now();
    // Compressed size of the batches about to be sent (same texts, same encoding).
    const auto records = track_sdk::Sdk::QueuedRecords();
    for (size_t at = 0; at < records.size(); at += kBatch) {
      std::string text = "[";
      for (size_t i = at; i < std::min(records.size(), at + kBatch); ++i) {
        if (i != at) text += ',';
        text += records[i];
      }
      text += ']';
      std::string body;
      track_sdk::EncodeBody(text, body);
      jsonBytes += text.size();
      compressedBytes += body.size();
      ++batches;
    }
    const auto t2 = Clock::now();
    allSent = track_sdk::Sdk::FlushAll() && allSent;
    const auto t3 = Clock::now();
    trackTime += t1 - t0;
    sendTime += t3 - t2;
  }
  // Whole tracker calls, including the flush step that pauses 1 ms per event.
  const auto c0 = Clock::now();
  for (int i = 0; i < kTrackerCalls; ++i) {
    va::VxContextProperties context;
    context.setProperty("vxc_ab", "IN", {7});
    va::VxEventTask task;
    task.name = "开始下载大包";
    task.elapsed = std::make_shared<float>(0.f);
    task.result = std::make_shared<va::VxResult>(va::VxResult::Success);
    tracker->trackTask(task, context);
  }
  const double trackerCallsPerSecond = kTrackerCalls / Seconds(Clock::now() - c0);
  allSent = track_sdk::Sdk::FlushAll() && allSent;
  tracker.reset();
  va::ReleaseTracker();
  curl_global_cleanup();

  const double events = static_cast<double>(rounds) * kEventsPerRound;
  std::printf(
      "{\"benchmark\":\"analytics\",\"events\":%.0f,\"all_sent\":%s,\"track_records_per_second\":%.0f,"
      "\"send_records_per_second\":%.0f,\"end_to_end_records_per_second\":%.0f,\"batches\":%zu,"
      "\"json_bytes_per_record\":%.1f,\"body_bytes_per_record\":%.1f,\"tracker_calls_per_second\":%.0f}\n",
      events, allSent ? "true" : "false", events / Seconds(trackTime), events / Seconds(sendTime),
      events / Seconds(trackTime + sendTime), batches, jsonBytes / events, compressedBytes / events, trackerCallsPerSecond);
  return allSent ? 0 : 1;
}
