#include "analytics/tracker/native_user_tracker.h"

#include <map>

#include "analytics/sdk/sdk.h"
#include "analytics/tracker/context_properties.h"
#include "analytics/tracker/vx_exception.h"

namespace vexlo::analytics {

namespace {
constexpr const char* kFile = "NativeUserTracker";

const std::map<std::string, ProfileMode>& ProfileModeTable() {
  static const std::map<std::string, ProfileMode> table = [] {
    std::map<std::string, ProfileMode> t;
    for (const char* key : {"$first_visit_time", "vx_first_visit_date", "$ios_install_source", "vx_first_paid_date"})
      t[key] = ProfileMode::SetOnce;
    for (const char* key : {"vx_visit_count", "vx_paid_count", "vx_consumption"}) t[key] = ProfileMode::Accumulate;
    for (const char* key :
         {"vx_label",          "vx_os",             "vx_os_version",       "vx_manufacturer",    "vx_model",
          "vx_app_store",      "vx_app_platform",   "vx_last_app_id",      "vx_last_app_version", "vx_carrier",
          "vx_last_visit_date", "vx_push_id",       "vx_user_id",          "vx_user_name",       "vx_user_type",
          "vx_user_nickname",  "vx_user_portrait",  "vx_user_mobilephone", "vx_user_email",      "vx_user_weixin",
          "vx_user_qq",        "vx_user_did",       "vx_user_created",     "vx_user_last_login", "vx_user_last_ip",
          "vx_user_vip_level", "vx_user_vip_enddate", "idfa",              "imei",               "android_id",
          "oaid",              "vx_ip",             "vx_country_code",     "vx_country",         "vx_province",
          "vx_city",           "vx_last_paid_date"})
      t[key] = ProfileMode::Set;
    return t;
  }();
  return table;
}

[[noreturn]] void Unsupported(const char* function, const std::string& key) {
  VX_THROW(kFile, function, "Not supported user property [" + key + "]!");
}

template <typename Number>
void ProfileNumber(const std::string& key, Number value) {
  constexpr const char* kFunction = "ProfileUserPropertyNumber";
  switch (NativeUserTracker::ModeOf(key)) {
    case ProfileMode::SetOnce: track_sdk::Sdk::SetProfileOnce(key, value); break;
    case ProfileMode::Set: track_sdk::Sdk::SetProfile(key, value); break;
    case ProfileMode::Accumulate: {
      track_sdk::PropertiesNode properties;
      if constexpr (std::is_same_v<Number, double>) properties.SetNumber(key, value);
      else properties.SetInteger(key, value);
      track_sdk::Sdk::IncrementProfile(properties);
      break;
    }
    case ProfileMode::Append:
      VX_THROW(kFile, kFunction, "user property [" + key + "] is number value, it cannot be append to list!");
    case ProfileMode::Unsupported: Unsupported(kFunction, key);
  }
}
}  // namespace

ProfileMode NativeUserTracker::ModeOf(const std::string& key) {
  const auto& table = ProfileModeTable();
  auto it = table.find(key);
  return it == table.end() ? ProfileMode::Unsupported : it->second;
}

void NativeUserTracker::ProfileUserPropertyString(const std::string& key, const std::string& value) {
  constexpr const char* kFunction = "ProfileUserPropertyString";
  switch (ModeOf(key)) {
    case ProfileMode::SetOnce: track_sdk::Sdk::SetProfileOnce(key, value); break;
    case ProfileMode::Set: track_sdk::Sdk::SetProfile(key, value); break;
    case ProfileMode::Append: track_sdk::Sdk::AppendProfile(key, value); break;
    case ProfileMode::Accumulate:
      VX_THROW(kFile, kFunction, "user property [" + key + "] is string type value, it cannot be accumulated!");
    case ProfileMode::Unsupported: Unsupported(kFunction, key);
  }
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& key, int64_t value) { ProfileNumber(key, value); }
void NativeUserTracker::ProfileUserPropertyNumber(const std::string& key, double value) { ProfileNumber(key, value); }

void NativeUserTracker::ProfileUserPropertyDateTime(const std::string& key, int64_t value) {
  constexpr const char* kFunction = "ProfileUserPropertyDateTime";
  int64_t seconds = 0;
  int ms = 0;
  SplitDateTime(value, seconds, ms);
  const char* type = nullptr;
  switch (ModeOf(key)) {
    case ProfileMode::SetOnce: type = "profile_set_once"; break;
    case ProfileMode::Set: type = "profile_set"; break;
    case ProfileMode::Accumulate:
      VX_THROW(kFile, kFunction, "user property [" + key + "] is date-time value, it cannot be accumulated!");
    case ProfileMode::Append:
      VX_THROW(kFile, kFunction, "user property [" + key + "] is date-time value, it cannot be append to list!");
    case ProfileMode::Unsupported: Unsupported(kFunction, key);
  }
  track_sdk::PropertiesNode properties;
  properties.SetDateTime(key, seconds, ms);
  track_sdk::Sdk::AddRecord(type, "", properties, track_sdk::Sdk::DistinctId(), "");
}

}  // namespace vexlo::analytics
