#pragma once
// Bounded queue of finished records (JSON texts), sent in batches and staged in a
// file between runs.
//  - Add: appends at the back; when that makes 1025 records the oldest is dropped,
//    so the queue never holds more than kCapacity.
//  - FlushBatch: sends up to kBatchSize records from the front; a failed batch (also
//    one whose building or sending threw) goes back in front as far as space allows,
//    the batch's oldest records being the ones dropped when it is short.
//  - The staging file is read once (first flush or shutdown), ahead of queued records,
//    and emptied at that moment; SaveStaging writes every queued record to it.
// Locks: the flush lock is taken before the queue lock, never the other way round.
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "analytics/sdk/value_node.h"

namespace track_sdk {

class RecordQueue {
 public:
  static constexpr size_t kCapacity = 1024;
  static constexpr size_t kBatchSize = 30;
  using Sender = std::function<bool(const std::string& serverUrl, const std::string& jsonArray)>;

  // stagingPath is a UTF-8 file path; empty means no staging file.
  RecordQueue(std::string serverUrl, std::string stagingPath);

  void Add(const utils::ObjectNode& record);
  void AddText(std::string recordText);
  // True when the batch was sent or there was nothing to send.
  bool FlushBatch();
  // Batches until the queue is empty (true) or one fails (false).
  bool FlushAll();
  // Loads any not yet loaded staging file, then replaces the file with the queue.
  void SaveStaging();

  size_t Size() const;
  std::vector<std::string> Snapshot() const;
  // Replaces SendBatch (tests of failures inside a batch).
  void SetSenderForTesting(Sender sender);

 private:
  void LoadStaging();
  void PutBack(const std::vector<std::string>& batch);

  std::string m_ServerUrl;
  std::string m_StagingPath;
  bool m_StagingNotLoaded = true;
  std::deque<std::string> m_Records;
  Sender m_Sender;
  mutable std::recursive_mutex m_QueueLock;
  std::recursive_mutex m_FlushLock;
};

// UTF-8 path -> platform path string for the file helpers of utils/.
std::wstring WidePath(const std::string& utf8Path);

}  // namespace track_sdk
