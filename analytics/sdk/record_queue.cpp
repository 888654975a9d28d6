#include "analytics/sdk/record_queue.h"

#include <exception>
#include <iostream>

#include "analytics/sdk/send_batch.h"
#include "utils/os.h"
#include "utils/text.h"

namespace track_sdk {

std::wstring WidePath(const std::string& utf8Path) {
  return Utils::MultiByteToWide(utf8Path, Utils::kCodePageUtf8);
}

RecordQueue::RecordQueue(std::string serverUrl, std::string stagingPath)
    : m_ServerUrl(std::move(serverUrl)), m_StagingPath(std::move(stagingPath)), m_Sender(SendBatch) {}

void RecordQueue::Add(const utils::ObjectNode& record) { AddText(record.ToJson()); }

void RecordQueue::AddText(std::string recordText) {
  std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
  m_Records.push_back(std::move(recordText));
  if (m_Records.size() > kCapacity) m_Records.pop_front();
}

void RecordQueue::LoadStaging() {
  std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
  if (!m_StagingNotLoaded) return;
  m_StagingNotLoaded = false;
  if (m_StagingPath.empty()) return;
  const std::wstring path = WidePath(m_StagingPath);
  const size_t free = kCapacity > m_Records.size() ? kCapacity - m_Records.size() : 0;
  std::string bytes;
  if (free > 0 && Utils::ReadWholeFile(path, bytes)) {
    std::deque<std::string> collected;
    for (std::string& line : Utils::SplitLines(bytes)) {
      if (!line.empty() && line.front() == '{' && line.back() == '}') {
        collected.push_back(std::move(line));
        if (collected.size() > free) collected.pop_front();
      }
    }
    m_Records.insert(m_Records.begin(), collected.begin(), collected.end());
  }
  if (Utils::PathExists(path)) Utils::WriteWholeFile(path, std::string());
}

void RecordQueue::PutBack(const std::vector<std::string>& batch) {
  std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
  const size_t free = kCapacity > m_Records.size() ? kCapacity - m_Records.size() : 0;
  const size_t keep = std::min(free, batch.size());
  m_Records.insert(m_Records.begin(), batch.end() - static_cast<std::ptrdiff_t>(keep), batch.end());
}

bool RecordQueue::FlushBatch() {
  LoadStaging();
  std::lock_guard<std::recursive_mutex> flushLock(m_FlushLock);
  std::vector<std::string> batch;
  {
    std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
    const size_t n = std::min(m_Records.size(), kBatchSize);
    if (n == 0) return true;
    batch.assign(std::make_move_iterator(m_Records.begin()),
                 std::make_move_iterator(m_Records.begin() + static_cast<std::ptrdiff_t>(n)));
    m_Records.erase(m_Records.begin(), m_Records.begin() + static_cast<std::ptrdiff_t>(n));
  }
  bool ok = false;
  try {
    std::string text = "[";
    for (size_t i = 0; i < batch.size(); ++i) {
      if (i) text += ',';
      text += batch[i];
    }
    text += ']';
    ok = m_Sender(m_ServerUrl, text);
  } catch (const std::exception& e) {
    std::cerr << "Exception when flush failed: (" << e.what() << ") " << std::endl;
    ok = false;
  } catch (...) {
    ok = false;
  }
  // A batch that could not be delivered is kept, whatever made it fail.
  if (!ok) PutBack(batch);
  return ok;
}

bool RecordQueue::FlushAll() {
  LoadStaging();
  // Enough to drain a full queue many times over while records keep arriving.
  constexpr int kMaxBatchesPerFlush = 4 * static_cast<int>(kCapacity);
  for (int round = 0; round < kMaxBatchesPerFlush; ++round) {
    {
      std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
      if (m_Records.empty()) return true;
    }
    if (!FlushBatch()) return false;
  }
  return Size() == 0;
}

void RecordQueue::SaveStaging() {
  std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
  LoadStaging();
  if (m_StagingPath.empty()) return;
  std::string bytes;
  for (const std::string& record : m_Records) {
    bytes += record;
    bytes += '\n';
  }
  Utils::WriteWholeFile(WidePath(m_StagingPath), bytes);
}

size_t RecordQueue::Size() const {
  std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
  return m_Records.size();
}

std::vector<std::string> RecordQueue::Snapshot() const {
  std::lock_guard<std::recursive_mutex> lock(m_QueueLock);
  return {m_Records.begin(), m_Records.end()};
}

void RecordQueue::SetSenderForTesting(Sender sender) {
  std::lock_guard<std::recursive_mutex> lock(m_FlushLock);
  m_Sender = sender ? std::move(sender) : Sender(SendBatch);
}

}  // namespace track_sdk
