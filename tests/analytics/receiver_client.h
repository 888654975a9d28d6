#pragma once
// What the local analytics receiver got: one JSON line per record in
// <build>/analytics_received/<channel>.jsonl, one line per request in
// <channel>.requests.jsonl.
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace AnalyticsTest {

// A channel name unique to this process and call, so reruns never mix.
std::string NewChannel(const std::string& prefix);
// Receiver URL for a channel: kind "c" (accepts), "status/500", "hang/5", "delay/300/200".
std::string ReceiverUrl(const std::string& channel, const std::string& kind = "c");
std::vector<std::string> ReceivedRecords(const std::string& channel);
std::vector<std::string> ReceivedRequests(const std::string& channel);
// Record counts of the requests, in arrival order.
std::vector<int> RequestCounts(const std::string& channel);
// Value of "key":<number> in a JSON line, or -1.
long long JsonInt(const std::string& line, const std::string& key);
bool Contains(const std::string& text, const std::string& part);
using TestSupport::FileLines;

}  // namespace AnalyticsTest
