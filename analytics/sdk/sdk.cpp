#include "analytics/sdk/sdk.h"

#include <iostream>
#include <memory>
#include <mutex>
#include <random>

namespace track_sdk {

namespace {

constexpr const char* kTypeTrack = "track";
constexpr const char* kTypeSignUp = "track_signup";

struct Instance {
  Instance(const std::string& serverUrl, const std::string& stagingPath, std::string id, bool login)
      : distinctId(std::move(id)), isLoginId(login), queue(serverUrl, stagingPath) {}
  std::mutex buildLock;  // record building, identity and super properties
  PropertiesNode superProperties;
  std::string distinctId;
  bool isLoginId;
  std::minstd_rand random;
  RecordQueue queue;
};

std::mutex g_InstanceLock;
std::shared_ptr<Instance> g_Instance;

// A reference keeps the instance alive for the whole call, even across Shutdown.
std::shared_ptr<Instance> Current() {
  std::lock_guard<std::mutex> lock(g_InstanceLock);
  return g_Instance;
}

bool CheckProperties(const PropertiesNode& properties) {
  for (const auto& [key, value] : properties.Entries()) {
    if (!CheckKeyName("Property Key", key)) return false;
    if (key == "$time" && value.type != ValueType::DateTime) {
      std::cerr << "The property '$time' should be DateTime type.";
      return false;
    }
    if (key == "$project" && value.type != ValueType::String) {
      std::cerr << "The property '$project' should be String type.";
      return false;
    }
  }
  return true;
}

void AddProfileRecord(const char* type, const PropertiesNode& properties) {
  Sdk::AddRecord(type, "", properties, Sdk::DistinctId(), "");
}

template <typename Setter>
void AddSingleProfileRecord(const char* type, Setter set) {
  PropertiesNode properties;
  set(properties);
  AddProfileRecord(type, properties);
}

}  // namespace

int64_t MakeTrackId(uint32_t random1, uint32_t random2, int64_t nowMs) {
  const std::string a = std::to_string(random1 % 99 + 100);
  const std::string b = std::to_string(random2 % 999 + 1000);
  std::string c = std::to_string(nowMs < 0 ? -nowMs : nowMs);
  if (c.size() > 4) c = c.substr(c.size() - 4);
  return std::stoll(a.substr(a.size() - 2) + b.substr(b.size() - 3) + c);
}

bool Sdk::Init(const std::string& stagingPath, const std::string& serverUrl, const std::string& distinctId,
               bool isLoginId) {
  if (!CheckIdText("Distinct ID", distinctId)) return false;
  std::lock_guard<std::mutex> lock(g_InstanceLock);
  if (!g_Instance) {
    auto instance = std::make_shared<Instance>(serverUrl, stagingPath, distinctId, isLoginId);
    instance->superProperties.SetString("$lib", kLibName);
    instance->superProperties.SetString("$lib_version", kLibVersion);
    instance->random.seed(static_cast<uint32_t>(NowMilliseconds() / 1000));
    g_Instance = std::move(instance);
  }
  return true;
}

bool Sdk::IsRunning() { return Current() != nullptr; }

void Sdk::TrackEvent(const std::string& eventName, const PropertiesNode& properties) {
  AddRecord(kTypeTrack, eventName, properties, DistinctId(), "");
}

void Sdk::SignUp(const std::string& loginId) {
  auto instance = Current();
  if (!instance) return;
  std::string previous;
  {
    std::lock_guard<std::mutex> lock(instance->buildLock);
    previous = instance->distinctId;
  }
  AddRecord(kTypeSignUp, "$SignUp", PropertiesNode(), loginId, previous);
  std::lock_guard<std::mutex> lock(instance->buildLock);
  instance->distinctId = loginId;
  instance->isLoginId = true;
}

void Sdk::SetDistinctId(const std::string& distinctId, bool isLoginId) {
  auto instance = Current();
  if (!instance) return;
  std::lock_guard<std::mutex> lock(instance->buildLock);
  instance->distinctId = distinctId;
  instance->isLoginId = isLoginId;
}

std::string Sdk::DistinctId() {
  auto instance = Current();
  if (!instance) return {};
  std::lock_guard<std::mutex> lock(instance->buildLock);
  return instance->distinctId;
}

void Sdk::SetProfile(const PropertiesNode& properties) { AddProfileRecord("profile_set", properties); }
void Sdk::SetProfile(const std::string& key, const std::string& value) {
  AddSingleProfileRecord("profile_set", [&](PropertiesNode& p) { p.SetString(key, value); });
}
void Sdk::SetProfile(const std::string& key, int64_t value) {
  AddSingleProfileRecord("profile_set", [&](PropertiesNode& p) { p.SetInteger(key, value); });
}
void Sdk::SetProfile(const std::string& key, double value) {
  AddSingleProfileRecord("profile_set", [&](PropertiesNode& p) { p.SetNumber(key, value); });
}
void Sdk::SetProfileOnce(const PropertiesNode& properties) { AddProfileRecord("profile_set_once", properties); }
void Sdk::SetProfileOnce(const std::string& key, const std::string& value) {
  AddSingleProfileRecord("profile_set_once", [&](PropertiesNode& p) { p.SetString(key, value); });
}
void Sdk::SetProfileOnce(const std::string& key, int64_t value) {
  AddSingleProfileRecord("profile_set_once", [&](PropertiesNode& p) { p.SetInteger(key, value); });
}
void Sdk::SetProfileOnce(const std::string& key, double value) {
  AddSingleProfileRecord("profile_set_once", [&](PropertiesNode& p) { p.SetNumber(key, value); });
}
void Sdk::IncrementProfile(const PropertiesNode& properties) { AddProfileRecord("profile_increment", properties); }
void Sdk::IncrementProfile(const std::string& key, int64_t value) {
  AddSingleProfileRecord("profile_increment", [&](PropertiesNode& p) { p.SetInteger(key, value); });
}
void Sdk::AppendProfile(const std::string& key, const std::string& value) {
  AddSingleProfileRecord("profile_append", [&](PropertiesNode& p) { p.SetList(key, {value}); });
}

void Sdk::MergeSuperProperties(const PropertiesNode& properties) {
  auto instance = Current();
  if (!instance) return;
  std::lock_guard<std::mutex> lock(instance->buildLock);
  for (const auto& [key, value] : properties.Entries()) instance->superProperties.SetValue(key, value);
}

PropertiesNode Sdk::SuperProperties() {
  auto instance = Current();
  if (!instance) return {};
  std::lock_guard<std::mutex> lock(instance->buildLock);
  return instance->superProperties;
}

bool Sdk::AddRecord(const std::string& type, const std::string& eventName, const PropertiesNode& properties,
                    const std::string& distinctId, const std::string& originalId) {
  auto instance = Current();
  if (!instance) return false;
  if (!CheckProperties(properties)) return false;
  if (type == kTypeTrack && !CheckKeyName("Event Name", eventName)) return false;
  if (type == kTypeSignUp && !CheckIdText("Original ID", originalId)) return false;

  utils::ObjectNode record;
  {
    std::lock_guard<std::mutex> lock(instance->buildLock);
    PropertiesNode merged;
    if (type.find("track") != std::string::npos) merged = instance->superProperties;
    for (const auto& [key, value] : properties.Entries()) merged.SetValue(key, value);

    int64_t time = NowMilliseconds();
    if (const utils::ValueNode* t = merged.Find("$time")) {
      time = t->seconds * 1000 + t->milliseconds;
      merged.Remove("$time");
    }
    std::string project;
    if (const utils::ValueNode* p = merged.Find("$project")) {
      project = p->text;
      merged.Remove("$project");
    }
    if (instance->isLoginId) merged.SetBool("$is_login_id", true);

    utils::ObjectNode lib;
    lib.SetString("$lib", kLibName);
    lib.SetString("$lib_version", kLibVersion);
    lib.SetString("$lib_method", "code");

    record.SetString("type", type);
    record.SetInteger("time", time);
    record.SetString("distinct_id", distinctId);
    record.SetObject("properties", merged);
    record.SetObject("lib", lib);
    const uint32_t r1 = static_cast<uint32_t>(instance->random());
    const uint32_t r2 = static_cast<uint32_t>(instance->random());
    record.SetInteger("_track_id", MakeTrackId(r1, r2, NowMilliseconds()));
    if (!project.empty()) record.SetString("project", project);
    if (type == kTypeTrack || type == kTypeSignUp) record.SetString("event", eventName);
    if (type == kTypeSignUp) record.SetString("original_id", originalId);
  }
  instance->queue.Add(record);
  return true;
}

bool Sdk::FlushAll() {
  auto instance = Current();
  if (!instance) return false;
  return instance->queue.FlushAll();
}

void Sdk::Shutdown() {
  std::shared_ptr<Instance> instance;
  {
    std::lock_guard<std::mutex> lock(g_InstanceLock);
    instance = std::move(g_Instance);
    g_Instance.reset();
  }
  if (instance) instance->queue.SaveStaging();
}

std::vector<std::string> Sdk::QueuedRecords() {
  auto instance = Current();
  return instance ? instance->queue.Snapshot() : std::vector<std::string>();
}

void Sdk::SetSenderForTesting(RecordQueue::Sender sender) {
  if (auto instance = Current()) instance->queue.SetSenderForTesting(std::move(sender));
}

}  // namespace track_sdk
