#include "analytics/tracker/app_tracker_impl.h"

#include <chrono>

#include "analytics/sdk/sdk.h"
#include "analytics/sdk/send_batch.h"
#include "analytics/tracker/native_user_tracker.h"
#include "analytics/tracker/system_info.h"
#include "analytics/tracker/vx_exception.h"
#include "utils/debug_log.h"
#include "utils/os.h"
#include "utils/text.h"

namespace vexlo::analytics {

namespace {

using track_sdk::PropertiesNode;
using track_sdk::Sdk;

constexpr const char* kFile = "AppTrackerImpl";
constexpr const char* kInstallSource = "android_id=123##imei=1234##mac=123";
constexpr const char* kPlatform = "Windows";
// Counts each operation adds to pendingCount before its flush step.
constexpr int kActivityCount = 9;
constexpr int kLaunchCountLoggedIn = 4;
constexpr int kSingleEventCount = 1;
constexpr int kPaymentCount = 4;

int E(Event event) { return static_cast<int>(event); }

void SetText(PropertiesNode& p, const char* key, const std::string& value) {
  if (!value.empty()) p.SetString(key, value);
}

int64_t NowMs() { return track_sdk::NowMilliseconds(); }

bool IsReportedResult(VxResult result) {
  const int v = static_cast<int>(result);
  return v >= 0 && v <= static_cast<int>(VxResult::Fail);
}

std::string ServerUrlOrDefault(const std::string& url) {
  if (!url.empty()) return url;
  if (auto override = Utils::GetEnv(L"PARLINO_ANALYTICS_URL"); override && !override->empty())
    return Utils::WideToUtf8(*override);
  return kDefaultServerUrl;
}

}  // namespace

std::mutex& FlushMutex() {
  static std::mutex mutex;
  return mutex;
}

AppTrackerImpl::AppTrackerImpl(const TrackerParams& params)
    : m_ServerUrl(params.serverUrl),
      m_AppName(params.appName),
      m_AppVersion(params.appVersion),
      m_AppStore(params.appStore),
      m_DlAppId(params.dlAppId),
      m_DlAppVersion(params.dlAppVersion),
      m_Edition(params.edition),
      m_State(std::make_unique<TrackerState>()) {
  m_State->logFilePath = params.logFilePath;
}

void AppTrackerImpl::init() {
  std::lock_guard<std::recursive_mutex> lock(m_StateLock);
  if (m_AppName.empty()) VX_THROW(kFile, "init", "appName is empty");
  if (m_AppVersion.empty()) VX_THROW(kFile, "init", "appVersion is empty");
  if (m_AppStore.empty()) VX_THROW(kFile, "init", "appStore is empty");
  m_State->pendingCount = 0;

  m_State->ResolvePaths(m_AppName, ExecutablePath(), UserDataBaseFolder());
  m_ServerUrl = ServerUrlOrDefault(m_ServerUrl);
  m_State->LoadIdentity(m_ServerUrl);

  if (m_State->logFilePath.empty()) m_State->logFilePath = m_State->dataDirectory + m_AppName + kLogFileSuffix;
  m_Logger = std::make_unique<NativeTrackLogger>();
  m_Logger->open(m_State->logFilePath);

  const std::string identity = m_State->isLogined ? m_State->userId : m_State->distinctId;
  if (!Sdk::Init(m_State->dataDirectory + m_AppName + kStagingFileSuffix, m_ServerUrl, identity, m_State->isLogined))
    VX_THROW(kFile, "init", "track_sdk::Sdk::Init is failed");
  m_SdkStarted = true;

  PropertiesNode preset;
  preset.SetString("vx_app_id", m_AppName);
  preset.SetString("$app_version", m_AppVersion);
  preset.SetString("$app_id", m_AppName);
  preset.SetString("vx_app_store", m_AppStore);
  preset.SetString("vx_edition", toString(static_cast<Edition>(m_Edition)));
  SetText(preset, "vx_dlapp_id", m_DlAppId);
  SetText(preset, "vx_dlapp_version", m_DlAppVersion);
  preset.SetString("vx_app_platform", kPlatform);
  preset.SetString("vx_track_type", "Client");
  preset.SetString("vx_sdk_version", kSdkVersion);
  preset.SetString("vx_sdk", "WindowsCPP");
  preset.SetString("$os", OsName());
  preset.SetString("$os_version", OsNameAndVersion());
  ApplyLocale(m_State->locale, preset);
  int width = 0, height = 0;
  PrimaryScreenSize(width, height);
  preset.SetInteger("$screen_height", height);
  preset.SetInteger("$screen_width", width);
  SetText(preset, "vx_user_id", m_State->userId);
  Sdk::MergeSuperProperties(preset);

  m_State->WriteAppSection(m_AppStore, m_AppName, m_AppVersion);
}

AppTrackerImpl::~AppTrackerImpl() {
  // No flush thread may outlive the tracker or the SDK core it uses.
  WaitForFlushJobs();
  std::lock_guard<std::recursive_mutex> lock(m_StateLock);
  m_State->SaveIdentity();
  if (m_SdkStarted) {
    for (int attempt = 0; attempt < kFlushAttempts && m_State->pendingCount > 0; ++attempt) {
      if (Sdk::FlushAll()) m_State->pendingCount = 0;
    }
    Sdk::Shutdown();
  }
  m_State.reset();
  if (m_Logger) {
    m_Logger->close();
    m_Logger.reset();
  }
}

void AppTrackerImpl::ApplyLocale(const std::string& locale, PropertiesNode& properties) {
  std::string text = locale, language, country;
  const size_t underscore = text.find('_');
  if (underscore != std::string::npos && underscore > 0) {
    language = text.substr(0, underscore);
    country = text.substr(underscore + 1);
  } else {
    std::string l, c;
    if (SystemLocale(l, c)) {
      language = l;
      country = c;
      text = l + "_" + c;
    }
  }
  m_State->locale = text;
  properties.SetString("vx_l10n_locale", text);
  properties.SetString("vx_l10n_language", language);
  properties.SetString("vx_l10n_country", country);
}

void AppTrackerImpl::setLocale(const std::string& locale) {
  std::lock_guard<std::recursive_mutex> lock(m_StateLock);
  PropertiesNode properties;
  ApplyLocale(locale, properties);
  Sdk::MergeSuperProperties(properties);
}

std::string AppTrackerImpl::getDistinctId() {
  std::lock_guard<std::recursive_mutex> lock(m_StateLock);
  return m_State->primaryDistinctId;
}

// --- flushing

void AppTrackerImpl::FlushJob(bool flushNow) {
  std::lock_guard<std::mutex> lock(FlushMutex());
  if (!flushNow) {
    Utils::SleepMs(kFlushRetrySleepMs);
    ++m_State->pendingCount;
    return;
  }
  for (int attempt = 0; attempt < kFlushAttempts && m_State->pendingCount > 0; ++attempt) {
    if (Sdk::FlushAll()) {
      m_State->pendingCount = 0;
      return;
    }
    Utils::SleepMs(kFlushRetrySleepMs);
  }
}

void AppTrackerImpl::FlushAfterTrack(bool flushNow) {
  if (track_sdk::LastSendOk()) {
    FlushJob(flushNow);
    return;
  }
  Utils::WriteDebuggerText(Utils::MultiByteToWide(kAsyncFlushMessage, Utils::kCodePageUtf8).c_str());
  std::lock_guard<std::mutex> lock(m_FlushThreadsLock);
  // Reap the jobs that are over, so a long run does not collect threads.
  for (auto it = m_FlushThreads.begin(); it != m_FlushThreads.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = m_FlushThreads.erase(it);
    } else {
      ++it;
    }
  }
  auto done = std::make_shared<std::atomic<bool>>(false);
  try {
    std::thread thread([this, flushNow, done] {
      FlushJob(flushNow);
      done->store(true);
    });
    m_FlushThreads.push_back({std::move(thread), done});
  } catch (const std::system_error&) {
    FlushJob(flushNow);  // no thread to be had: flush here instead of dropping the step
  }
}

void AppTrackerImpl::WaitForFlushJobs() {
  std::list<FlushThread> threads;
  {
    std::lock_guard<std::mutex> lock(m_FlushThreadsLock);
    threads.swap(m_FlushThreads);
  }
  for (FlushThread& job : threads) job.thread.join();
}

void AppTrackerImpl::Track(const char* eventName, PropertiesNode& properties, int event,
                           const VxContextProperties* context, int count, bool flushNow) {
  {
    std::lock_guard<std::recursive_mutex> lock(m_StateLock);
    if (context) context->applyTo(event, properties);
    Sdk::TrackEvent(eventName, properties);
    m_State->pendingCount += count;
  }
  FlushAfterTrack(flushNow);
}

// --- track operations

void AppTrackerImpl::trackActivity(const VxContextProperties& context) {
  {
    std::lock_guard<std::recursive_mutex> lock(m_StateLock);
    PropertiesNode own;
    context.applyTo(E(Event::Activity), own);  // the activity's own values win
    const std::string osVersion = OsNameAndVersion();
    own.SetString("vx_app_store", m_AppStore);
    own.SetString("vx_app_id", m_AppName);
    own.SetString("$app_id", m_AppName);
    own.SetString("$app_version", m_AppVersion);
    own.SetString("$ios_install_source", kInstallSource);
    own.SetString("$user_agent", UserAgentText(OsName(), osVersion, Is64BitWindows()));
    own.SetBool("$is_first_time", true);
    own.SetString("$os", OsName());
    own.SetString("$os_version", osVersion);
    Sdk::TrackEvent("VxEventActivity", own);
    WriteActivityProfile();
    m_State->pendingCount += kActivityCount;
  }
  FlushAfterTrack(true);
}

void AppTrackerImpl::WriteActivityProfile() {
  const int64_t now = NowMs();
  NativeUserTracker::ProfileUserPropertyDateTime("$first_visit_time", now);
  NativeUserTracker::ProfileUserPropertyDateTime("vx_first_visit_date", now);
  NativeUserTracker::ProfileUserPropertyDateTime("vx_last_visit_date", now);
  NativeUserTracker::ProfileUserPropertyString("vx_os", OsName());
  NativeUserTracker::ProfileUserPropertyString("vx_os_version", OsNameAndVersion());
  NativeUserTracker::ProfileUserPropertyString("vx_app_store", m_AppStore);
  NativeUserTracker::ProfileUserPropertyString("vx_app_platform", kPlatform);
  NativeUserTracker::ProfileUserPropertyString("vx_last_app_id", m_AppName);
  NativeUserTracker::ProfileUserPropertyString("vx_last_app_version", m_AppVersion);
  NativeUserTracker::ProfileUserPropertyString("$ios_install_source", kInstallSource);
}

void AppTrackerImpl::trackLaunch(const VxContextProperties& context) {
  {
    std::lock_guard<std::recursive_mutex> lock(m_StateLock);
    PropertiesNode properties;
    context.applyTo(E(Event::Launch), properties);
    Sdk::TrackEvent("VxEventLaunch", properties);
    if (!m_State->userId.empty()) {
      const int64_t now = NowMs();
      NativeUserTracker::ProfileUserPropertyDateTime("$first_visit_time", now);
      NativeUserTracker::ProfileUserPropertyDateTime("vx_first_visit_date", now);
      NativeUserTracker::ProfileUserPropertyDateTime("vx_last_visit_date", now);
      m_State->pendingCount += kLaunchCountLoggedIn;
    }
  }
  FlushAfterTrack(true);
}

void AppTrackerImpl::trackLogin(const VxUserInfo& user, bool success, const std::string& reason,
                                const VxContextProperties& context) {
  {
    std::lock_guard<std::recursive_mutex> lock(m_StateLock);
    PropertiesNode properties;
    SetText(properties, "vx_user_id", user.userId);
    SetText(properties, "vx_login_id", user.userId);
    properties.SetString("vx_type", userType(user.userType));
    properties.SetString("vx_result", success ? "Success" : "Fail");
    SetText(properties, "vx_reason", reason);
    if (!user.userId.empty()) properties.SetBool("$is_first_time", true);
    context.applyTo(E(Event::Login), properties);
    Sdk::TrackEvent("VxEventLogin", properties);
    if (!user.userId.empty()) {
      m_State->vipLevel = user.vipLevel;
      if (!m_State->isLogined || m_State->userId.empty()) {
        Sdk::SignUp(user.userId);
        m_State->isLogined = true;
        m_State->userId = user.userId;
        m_State->distinctId = user.userId;
        Sdk::SetDistinctId(m_State->distinctId, m_State->isLogined);
        PropertiesNode super;
        super.SetString("vx_user_id", user.userId);
        Sdk::MergeSuperProperties(super);
      }
      m_State->SaveIdentity();
    }
  }
  FlushAfterTrack(true);
}

void AppTrackerImpl::trackClick(const VxEventClick& e, const VxContextProperties& context) {
  if (e.name.empty()) VX_THROW(kFile, "trackClick", "vxEventClick.name is empty");
  PropertiesNode p;
  p.SetString("vx_name", e.name);
  p.SetString("vx_click_type", toString(e.clickType));
  SetText(p, "vx_aname", e.aname);
  SetText(p, "vx_title", e.title);
  SetText(p, "vx_position", e.position);
  SetText(p, "vx_module", e.module);
  SetText(p, "vx_tab_name", e.tabName);
  if (e.tabIndex) p.SetInteger("vx_tab_index", *e.tabIndex);
  SetText(p, "vx_banner_name", e.bannerName);
  if (e.bannerIndex) p.SetInteger("vx_banner_index", *e.bannerIndex);
  p.SetBool("$is_first_time", true);
  Track("VxEventClick", p, E(Event::Click), &context, kSingleEventCount, false);
}

void AppTrackerImpl::trackView(const VxEventView& e, const VxContextProperties& context) {
  if (e.name.empty()) VX_THROW(kFile, "trackView", "vxEventView.name is empty");
  PropertiesNode p;
  p.SetString("vx_name", e.name);
  SetText(p, "vx_aname", e.aname);
  SetText(p, "vx_title", e.title);
  SetText(p, "vx_position", e.position);
  p.SetBool("$is_first_time", true);
  Track("VxEventView", p, E(Event::View), &context, kSingleEventCount, false);
}

void AppTrackerImpl::trackCashier(const VxEventCashier& e, const VxContextProperties& context) {
  if (e.cashierName.empty()) VX_THROW(kFile, "trackCashier", "vxEventCashier.vx_cashier_name is empty");
  PropertiesNode p;
  p.SetString("vx_cashier_name", e.cashierName);
  SetText(p, "vx_cashier_title", e.cashierTitle);
  SetText(p, "vx_subitem", e.subitem);
  p.SetBool("$is_first_time", true);
  Track("VxEventCashier", p, E(Event::Cashier), &context, kSingleEventCount, false);
}

void AppTrackerImpl::trackShare(const VxEventShare& e, const VxContextProperties& context) {
  PropertiesNode p;
  SetText(p, "vx_aname", e.aname);
  SetText(p, "vx_channel", e.channel);
  SetText(p, "vx_position", e.position);
  SetText(p, "vx_shared_name", e.sharedName);
  if (e.result) p.SetString("vx_result", toString(*e.result));
  p.SetBool("$is_first_time", true);
  Track("VxEventShare", p, E(Event::Share), &context, kSingleEventCount, false);
}

void AppTrackerImpl::trackTask(const VxEventTask& e, const VxContextProperties& context) {
  if (e.name.empty()) VX_THROW(kFile, "trackTask", "vxEventTask.name is empty");
  PropertiesNode p;
  p.SetString("vx_task_name", e.name);
  if (e.elapsed) p.SetNumber("vx_task_elapsed", static_cast<double>(*e.elapsed));
  if (e.result && IsReportedResult(*e.result)) p.SetString("vx_task_result", toString(*e.result));
  SetText(p, "vx_aname", e.aname);
  SetText(p, "vx_reason", e.reason);
  p.SetBool("$is_first_time", true);
  Track("VxEventTask", p, E(Event::Task), &context, 0, false);
}

void AppTrackerImpl::trackFile(const VxEventFile& e, const VxContextProperties& context) {
  if (e.aname.empty()) VX_THROW(kFile, "trackFile", "vxEventFile.aname is empty");
  PropertiesNode p;
  p.SetString("vx_aname", e.aname);
  if (e.ioType) p.SetString("vx_io", toString(*e.ioType));
  if (e.result && IsReportedResult(*e.result)) p.SetString("vx_result", toString(*e.result));
  SetText(p, "vx_name", e.name);
  SetText(p, "vx_ext", e.ext);
  if (e.size && *e.size > 0) p.SetNumber("vx_size", static_cast<double>(*e.size));
  if (e.duration) p.SetInteger("vx_duration", *e.duration);
  if (e.fps) p.SetNumber("vx_fps", static_cast<double>(*e.fps));
  if (e.bps) p.SetNumber("vx_bps", static_cast<double>(*e.bps));
  if (e.width) p.SetInteger("vx_width", *e.width);
  if (e.height) p.SetInteger("vx_height", *e.height);
  if (e.depth) p.SetInteger("vx_depth", *e.depth);
  p.SetBool("$is_first_time", true);
  Track("VxEventFile", p, E(Event::File), &context, kSingleEventCount, false);
}

void AppTrackerImpl::trackOrder(const VxEventOrder& e, const VxContextProperties& context) {
  if (e.suitId.empty()) VX_THROW(kFile, "trackOrder", "vxEventOrder.vxSuitId is empty");
  if (!e.currency) VX_THROW(kFile, "trackOrder", "vxEventOrder.vxCurrency is nullptr");
  if (e.originalAmount <= 0) VX_THROW(kFile, "trackOrder", "vxEventOrder.originalAmount is less than zero");
  if (e.paidAmount <= 0) VX_THROW(kFile, "trackOrder", "vxEventOrder.paidAmount is less than zero");
  PropertiesNode p;
  p.SetString("vx_suit_id", e.suitId);
  p.SetString("vx_currency", toString(*e.currency));
  p.SetNumber("vx_paid_amount", static_cast<double>(e.paidAmount));
  p.SetNumber("vx_original_amount", static_cast<double>(e.originalAmount));
  p.SetBool("$is_first_time", true);
  SetText(p, "vx_order_id", e.orderId);
  SetText(p, "vx_subitem", e.subitem);
  SetText(p, "vx_sku", e.sku);
  if (e.campaignCode) p.SetInteger("vx_campaign_code", *e.campaignCode);
  SetText(p, "vx_voucher_id", e.voucherId);
  if (e.curOriginalAmount > 0) p.SetNumber("vx_cur_original_amount", static_cast<double>(e.curOriginalAmount));
  if (e.curPaidAmount > 0) p.SetNumber("vx_cur_paid_amount", static_cast<double>(e.curPaidAmount));
  SetText(p, "vx_cashier_name", e.cashierName);
  SetText(p, "vx_cashier_title", e.cashierTitle);
  Track("VxEventOrder", p, E(Event::Order), &context, kSingleEventCount, false);
}

void AppTrackerImpl::trackPayment(const VxEventPayment& e, const VxContextProperties& context) {
  if (e.orderId.empty()) VX_THROW(kFile, "trackPayment", "vxEventPayment.vxOrderId is empty");
  if (e.paidAmount < 0) VX_THROW(kFile, "trackPayment", "paidAmount = " + std::to_string(e.paidAmount) + " is invalid");
  if (e.originalAmount < 0)
    VX_THROW(kFile, "trackPayment", "originalAmount = " + std::to_string(e.originalAmount) + " is invalid");
  if (!e.result || (*e.result != VxResult::Success && *e.result != VxResult::Fail))
    VX_THROW(kFile, "trackPayment", "vxEventPayment.result is invalid");
  // Both are read unconditionally below; a missing one is misuse like any other.
  if (!e.currency) VX_THROW(kFile, "trackPayment", "vxEventPayment.vxCurrency is nullptr");
  if (!e.paidPlatform) VX_THROW(kFile, "trackPayment", "vxEventPayment.vxPaidPlatform is nullptr");
  PropertiesNode p;
  p.SetString("vx_order_id", e.orderId);
  p.SetString("vx_paid_platform", toString(*e.paidPlatform));
  p.SetString("vx_currency", toString(*e.currency));
  p.SetNumber("vx_paid_amount", static_cast<double>(e.paidAmount));
  p.SetNumber("vx_original_amount", static_cast<double>(e.originalAmount));
  p.SetString("vx_result", toString(*e.result));
  p.SetBool("$is_first_time", true);
  SetText(p, "vx_suit_id", e.suitId);
  if (e.iapType) p.SetString("vx_iap_type", toString(*e.iapType));
  SetText(p, "vx_subitem", e.subitem);
  SetText(p, "vx_sku", e.sku);
  SetText(p, "vx_voucher_id", e.voucherId);
  SetText(p, "vx_used_voucher_id", e.usedVoucherId);
  if (e.campaignCode) p.SetInteger("vx_campaign_code", *e.campaignCode);
  if (e.curOriginalAmount > 0) p.SetNumber("vx_cur_original_amount", static_cast<double>(e.curOriginalAmount));
  if (e.curPaidAmount > 0) p.SetNumber("vx_cur_paid_amount", static_cast<double>(e.curPaidAmount));
  SetText(p, "vx_cashier_name", e.cashierName);
  SetText(p, "vx_cashier_title", e.cashierTitle);
  {
    std::lock_guard<std::recursive_mutex> lock(m_StateLock);
    context.applyTo(E(Event::Payment), p);
    Sdk::TrackEvent("VxEventPayment", p);
    const int64_t now = NowMs();
    NativeUserTracker::ProfileUserPropertyNumber("vx_paid_count", int64_t{1});
    NativeUserTracker::ProfileUserPropertyNumber("vx_consumption", static_cast<double>(e.paidAmount));
    NativeUserTracker::ProfileUserPropertyDateTime("vx_first_paid_date", now);
    NativeUserTracker::ProfileUserPropertyDateTime("vx_last_paid_date", now);
    if (*e.result == VxResult::Success) {
      m_State->vipLevel = 1;
      m_State->SaveIdentity();
    }
    m_State->pendingCount += kPaymentCount;
  }
  FlushAfterTrack(true);
}

void AppTrackerImpl::trackUninstall(const std::string& reason, const VxContextProperties& context) {
  PropertiesNode p;
  SetText(p, "vx_uninstall_reason", reason);
  Track("VxEventUninstall", p, E(Event::Uninstall), &context, 0, true);
}

void AppTrackerImpl::trackCrash(const std::string& reason) {
  PropertiesNode p;
  SetText(p, "app_crashed_reason", reason);
  Track("AppCrashed", p, E(Event::Crashed), nullptr, 0, true);
}

void AppTrackerImpl::trackUpdate(const VxEventUpdate& e, const VxContextProperties& context) {
  const bool needsResult = e.operation == VxUpdateOp::DownloadEnd || e.operation == VxUpdateOp::UpgrateEnd;
  if (needsResult && !e.result) VX_THROW(kFile, "trackUpdate", "Unknown updateResultInfo info");
  if (needsResult && !e.elapsed) VX_THROW(kFile, "trackUpdate", "invalid elapsed info");
  PropertiesNode p;
  p.SetString("vx_update_op", toString(e.operation));
  switch (e.operation) {
    case VxUpdateOp::UpdateCheck: p.SetString("vx_update_result", e.result ? toString(*e.result) : ""); break;
    case VxUpdateOp::DownloadEnd:
      p.SetString("vx_update_result", toString(*e.result));
      p.SetNumber("vx_elapsed", static_cast<double>(*e.elapsed));
      break;
    case VxUpdateOp::UpgrateEnd:
      p.SetString("vx_update_result", toString(*e.result));
      p.SetBool("$is_first_time", true);
      p.SetNumber("vx_elapsed", static_cast<double>(*e.elapsed));
      break;
    default: break;
  }
  Track("VxEventUpdate", p, E(Event::Update), &context, 0, true);
}

void AppTrackerImpl::trackAppOpenNotification(const AppOpenNotification* n, const VxContextProperties& context) {
  if (!n) VX_THROW(kFile, "trackAppOpenNotification", "&appOpenNotification is nullptr");
  if (n->planId.empty()) VX_THROW(kFile, "trackAppOpenNotification", "planID is emptry");
  if (n->planType.empty()) VX_THROW(kFile, "trackAppOpenNotification", "planType is emptry");
  if (n->msgTitle.empty()) VX_THROW(kFile, "trackAppOpenNotification", "msgTitle is emptry");
  PropertiesNode p;
  p.SetString("$sf_msg_title", n->msgTitle);
  p.SetString("$sf_plan_id", n->planId);
  p.SetString("$sf_plan_type", n->planType);
  p.SetBool("$is_first_time", true);
  SetText(p, "$sf_msg_content", n->msgContent);
  SetText(p, "$sf_link_url", n->linkUrl);
  SetText(p, "$sf_audience_id", n->audienceId);
  SetText(p, "$sf_plan_strategy_id", n->planStrategyId);
  SetText(p, "$sf_strategy_unit_id", n->strategyUnitId);
  Track("AppOpenNotification", p, E(Event::AppOpenNotification), &context, 0, false);
}

}  // namespace vexlo::analytics
