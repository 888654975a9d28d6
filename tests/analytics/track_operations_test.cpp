// Every track operation: its checks and messages, the properties it reports, its
// effect on pendingCount; enumerations, context properties and profile modes.
#include <gtest/gtest.h>

#include <functional>

#include "analytics/tracker/native_user_tracker.h"
#include "analytics/tracker/vx_exception.h"
#include "tests/analytics/receiver_client.h"
#include "tests/analytics/tracker_fixture.h"

using namespace vexlo::analytics;
using namespace AnalyticsTest;

namespace {

template <typename T>
std::shared_ptr<T> Some(T value) {
  return std::make_shared<T>(value);
}

VxEventClick ClickNamed(const std::string& name) {
  VxEventClick click;
  click.name = name;
  return click;
}

VxEventTask TaskNamed(const std::string& name) {
  VxEventTask task;
  task.name = name;
  return task;
}

VxEventOrder GoodOrder() {
  VxEventOrder order;
  order.suitId = "suit";
  order.currency = Some(Currency::USD);
  order.originalAmount = 2;
  order.paidAmount = 1;
  return order;
}

VxEventPayment GoodPayment() {
  VxEventPayment payment;
  payment.orderId = "o-1";
  payment.currency = Some(Currency::CNY);
  payment.paidPlatform = Some(PaidPlatform::Alipay);
  payment.result = Some(VxResult::Success);
  payment.paidAmount = 1.5f;
  payment.originalAmount = 2;
  return payment;
}

AppOpenNotification GoodNotification() {
  AppOpenNotification n;
  n.planId = "p";
  n.planType = "t";
  n.msgTitle = "m";
  return n;
}

// Runs `call` and returns "<function>: <message>" of its VxException, or "no exception".
std::string Failure(const std::function<void()>& call) {
  try {
    call();
  } catch (const VxException& e) {
    return e.function() + ": " + e.what();
  }
  return "no exception";
}

class TrackOperationsTest : public TrackerFixture {
 protected:
  void SetUp() override {
    TrackerFixture::SetUp();
    m_Impl = Start(kUnreachableUrl);
    ASSERT_NE(m_Impl, nullptr);
  }
  AppTrackerImpl* m_Impl = nullptr;
  VxContextProperties m_None;
};

}  // namespace

TEST_F(TrackOperationsTest, RequiredFieldsAndTheirMessages) {
  AppTrackerImpl& t = *m_Impl;
  const VxContextProperties& c = m_None;
  struct Row {
    const char* name;
    std::function<void()> call;
    std::string failure;
  } rows[] = {
      {"click without name", [&] { t.trackClick(VxEventClick{}, c); }, "trackClick: vxEventClick.name is empty"},
      {"view without name", [&] { t.trackView(VxEventView{}, c); }, "trackView: vxEventView.name is empty"},
      {"cashier without name", [&] { t.trackCashier(VxEventCashier{}, c); },
       "trackCashier: vxEventCashier.vx_cashier_name is empty"},
      {"task without name", [&] { t.trackTask(VxEventTask{}, c); }, "trackTask: vxEventTask.name is empty"},
      {"file without aname", [&] { t.trackFile(VxEventFile{}, c); }, "trackFile: vxEventFile.aname is empty"},
      {"order without suit", [&] { auto o = GoodOrder(); o.suitId.clear(); t.trackOrder(o, c); },
       "trackOrder: vxEventOrder.vxSuitId is empty"},
      {"order without currency", [&] { auto o = GoodOrder(); o.currency.reset(); t.trackOrder(o, c); },
       "trackOrder: vxEventOrder.vxCurrency is nullptr"},
      {"order original 0", [&] { auto o = GoodOrder(); o.originalAmount = 0; t.trackOrder(o, c); },
       "trackOrder: vxEventOrder.originalAmount is less than zero"},
      {"order paid 0", [&] { auto o = GoodOrder(); o.paidAmount = 0; t.trackOrder(o, c); },
       "trackOrder: vxEventOrder.paidAmount is less than zero"},
      {"payment without order id", [&] { auto p = GoodPayment(); p.orderId.clear(); t.trackPayment(p, c); },
       "trackPayment: vxEventPayment.vxOrderId is empty"},
      {"payment paid -1", [&] { auto p = GoodPayment(); p.paidAmount = -1; t.trackPayment(p, c); },
       "trackPayment: paidAmount = -1.000000 is invalid"},
      {"payment original -2.5", [&] { auto p = GoodPayment(); p.originalAmount = -2.5f; t.trackPayment(p, c); },
       "trackPayment: originalAmount = -2.500000 is invalid"},
      {"payment cancelled", [&] { auto p = GoodPayment(); p.result = Some(VxResult::Cancelled); t.trackPayment(p, c); },
       "trackPayment: vxEventPayment.result is invalid"},
      {"payment without result", [&] { auto p = GoodPayment(); p.result.reset(); t.trackPayment(p, c); },
       "trackPayment: vxEventPayment.result is invalid"},
      {"payment without currency", [&] { auto p = GoodPayment(); p.currency.reset(); t.trackPayment(p, c); },
       "trackPayment: vxEventPayment.vxCurrency is nullptr"},
      {"payment without platform", [&] { auto p = GoodPayment(); p.paidPlatform.reset(); t.trackPayment(p, c); },
       "trackPayment: vxEventPayment.vxPaidPlatform is nullptr"},
      {"download end without result", [&] { t.trackUpdate(VxEventUpdate{VxUpdateOp::DownloadEnd, nullptr, Some(1.f)}, c); },
       "trackUpdate: Unknown updateResultInfo info"},
      {"upgrade end without elapsed",
       [&] { t.trackUpdate(VxEventUpdate{VxUpdateOp::UpgrateEnd, Some(VxUpdateResult::Fail), nullptr}, c); },
       "trackUpdate: invalid elapsed info"},
      {"update op out of range", [&] { t.trackUpdate(VxEventUpdate{static_cast<VxUpdateOp>(9), nullptr, nullptr}, c); },
       "toString: Unknown VxUpdateOp [9]!"},
      {"notification null", [&] { t.trackAppOpenNotification(nullptr, c); },
       "trackAppOpenNotification: &appOpenNotification is nullptr"},
      {"notification without plan id", [&] { auto n = GoodNotification(); n.planId.clear(); t.trackAppOpenNotification(&n, c); },
       "trackAppOpenNotification: planID is emptry"},
      {"notification without plan type", [&] { auto n = GoodNotification(); n.planType.clear(); t.trackAppOpenNotification(&n, c); },
       "trackAppOpenNotification: planType is emptry"},
      {"notification without title", [&] { auto n = GoodNotification(); n.msgTitle.clear(); t.trackAppOpenNotification(&n, c); },
       "trackAppOpenNotification: msgTitle is emptry"},
      {"click type out of range", [&] { VxEventClick e; e.name = "n"; e.clickType = static_cast<ClickType>(5); t.trackClick(e, c); },
       "toString: Unknown ClickType [5]!"},
      {"share result out of range", [&] { VxEventShare e; e.result = Some(static_cast<VxResult>(4)); t.trackShare(e, c); },
       "toString: Unknown task result [4]!"},
      {"login user type out of range", [&] { VxUserInfo u; u.userType = static_cast<UserType>(12); t.trackLogin(u, true, "", c); },
       "userType: Unknown user type [12]!"},
      {"file io out of range", [&] { VxEventFile e; e.aname = "a"; e.ioType = Some(static_cast<IoType>(2)); t.trackFile(e, c); },
       "toString: the io type is invalid"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Failure(row.call), row.failure);
  }
  EXPECT_TRUE(track_sdk::Sdk::QueuedRecords().empty()) << "a failed check queued a record";
}

TEST_F(TrackOperationsTest, ReportedProperties) {
  AppTrackerImpl& t = *m_Impl;
  struct Row {
    const char* name;
    std::function<void()> call;
    std::string event;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } rows[] = {
      {"click defaults",
       [&] { VxEventClick e; e.name = "n"; e.tabIndex = Some(0); t.trackClick(e, m_None); },
       "VxEventClick",
       {"\"vx_name\":\"n\"", "\"vx_click_type\":\"Others\"", "\"vx_tab_index\":0", "\"$is_first_time\":true"},
       {"vx_aname", "vx_title", "vx_banner_index"}},
      {"click with context name",
       [&] {
         VxContextProperties c;
         c.setProperty("vx_name", "from context", {3});
         VxEventClick e;
         e.name = "own";
         t.trackClick(e, c);
       },
       "VxEventClick", {"\"vx_name\":\"from context\""}, {"\"own\""}},
      {"view", [&] { t.trackView(VxEventView{"an", "安装中", "", "pos"}, m_None); }, "VxEventView",
       {"\"vx_name\":\"安装中\"", "\"vx_aname\":\"an\"", "\"vx_position\":\"pos\""}, {"vx_title"}},
      {"task unknown result",
       [&] { VxEventTask e; e.name = "n"; e.elapsed = Some(1.5f); e.result = Some(VxResult::Unknown); t.trackTask(e, m_None); },
       "VxEventTask", {"\"vx_task_name\":\"n\"", "\"vx_task_elapsed\":1.5"}, {"vx_task_result", "vx_reason"}},
      {"task failed with reason",
       [&] { VxEventTask e; e.name = "n"; e.reason = "r"; e.result = Some(VxResult::Fail); t.trackTask(e, m_None); },
       "VxEventTask", {"\"vx_task_result\":\"Fail\"", "\"vx_reason\":\"r\""}, {"vx_task_elapsed"}},
      {"share unknown result",
       [&] { VxEventShare e; e.channel = "ch"; e.result = Some(VxResult::Unknown); t.trackShare(e, m_None); },
       "VxEventShare", {"\"vx_result\":\"Unknown\"", "\"vx_channel\":\"ch\""}, {}},
      {"file output of size 0",
       [&] { VxEventFile e; e.aname = "a"; e.ioType = Some(IoType::Output); e.size = Some(0.f); e.width = Some(7); t.trackFile(e, m_None); },
       "VxEventFile", {"\"vx_io\":\"Output\"", "\"vx_aname\":\"a\"", "\"vx_width\":7"}, {"vx_size"}},
      {"order", [&] { auto o = GoodOrder(); o.curPaidAmount = 0; t.trackOrder(o, m_None); }, "VxEventOrder",
       {"\"vx_currency\":\"USD\"", "\"vx_paid_amount\":1", "\"vx_original_amount\":2", "\"vx_suit_id\":\"suit\""},
       {"vx_cur_paid_amount"}},
      {"payment", [&] { t.trackPayment(GoodPayment(), m_None); }, "VxEventPayment",
       {"\"vx_paid_platform\":\"Alipay\"", "\"vx_currency\":\"CNY\"", "\"vx_paid_amount\":1.5", "\"vx_result\":\"Success\""},
       {"vx_iap_type"}},
      {"download start ignores result",
       [&] { t.trackUpdate(VxEventUpdate{VxUpdateOp::DownloadStart, Some(VxUpdateResult::Fail), Some(2.f)}, m_None); },
       "VxEventUpdate", {"\"vx_update_op\":\"DownloadStart\""}, {"vx_update_result", "vx_elapsed", "$is_first_time"}},
      {"update check without result", [&] { t.trackUpdate(VxEventUpdate{}, m_None); }, "VxEventUpdate",
       {"\"vx_update_op\":\"UpdateCheck\"", "\"vx_update_result\":\"\""}, {}},
      {"upgrade end",
       [&] { t.trackUpdate(VxEventUpdate{VxUpdateOp::UpgrateEnd, Some(VxUpdateResult::Latest), Some(0.25f)}, m_None); },
       "VxEventUpdate", {"\"vx_update_result\":\"Latest\"", "\"vx_elapsed\":0.25", "\"$is_first_time\":true"}, {}},
      {"activity keeps its own $os",
       [&] {
         VxContextProperties c;
         c.setProperty("$os", "Plan9", {0});
         c.setProperty("vxc_extra", true, {0});
         t.trackActivity(c);
       },
       "VxEventActivity",
       {"\"$os\":\"Windows\"", "\"vxc_extra\":true", "\"$ios_install_source\":\"android_id=123##imei=1234##mac=123\"",
        "\"$user_agent\":\"Mozilla/5.0(Windows "},
       {"Plan9"}},
      {"uninstall", [&] { t.trackUninstall("too big", m_None); }, "VxEventUninstall", {"\"vx_uninstall_reason\":\"too big\""}, {}},
      {"crash", [&] { t.trackCrash("崩溃"); }, "AppCrashed", {"\"app_crashed_reason\":\"崩溃\""}, {"$is_first_time"}},
      {"notification", [&] { auto n = GoodNotification(); n.linkUrl = "u"; t.trackAppOpenNotification(&n, m_None); },
       "AppOpenNotification", {"\"$sf_plan_id\":\"p\"", "\"$sf_plan_type\":\"t\"", "\"$sf_msg_title\":\"m\"", "\"$sf_link_url\":\"u\""},
       {"$sf_audience_id"}},
      {"login", [&] { VxUserInfo u; u.userId = "u-1"; u.userType = UserType::Email; t.trackLogin(u, false, "bad", m_None); },
       "VxEventLogin", {"\"vx_user_id\":\"u-1\"", "\"vx_login_id\":\"u-1\"", "\"vx_type\":\"email\"", "\"vx_result\":\"Fail\"",
                        "\"vx_reason\":\"bad\""}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const size_t before = Queued(row.event).size();
    row.call();
    const auto records = Queued(row.event);
    ASSERT_EQ(records.size(), before + 1);
    const std::string& record = records.back();
    for (const std::string& part : row.present) EXPECT_TRUE(Contains(record, part)) << part << " in " << record;
    for (const std::string& part : row.absent) EXPECT_FALSE(Contains(record, part)) << part << " in " << record;
  }
}

TEST_F(TrackOperationsTest, PendingCountPerOperation) {
  AppTrackerImpl& t = *m_Impl;
  struct Row {
    const char* name;
    std::function<void()> call;
    int pending;  // the operation's count, plus 1 for a flush job that does not send
  } rows[] = {
      {"click", [&] { t.trackClick(ClickNamed("n"), m_None); }, 2},
      {"task", [&] { t.trackTask(TaskNamed("n"), m_None); }, 1},
      {"view", [&] { t.trackView(VxEventView{"", "n", "", ""}, m_None); }, 2},
      {"activity", [&] { t.trackActivity(m_None); }, 9},
      {"payment", [&] { t.trackPayment(GoodPayment(), m_None); }, 4},
      {"launch, not logged in", [&] { t.trackLaunch(m_None); }, 0},
      {"crash", [&] { t.trackCrash("c"); }, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    t.WaitForFlushJobs();
    const int before = t.pendingCount();
    row.call();
    t.WaitForFlushJobs();  // the server is unreachable: flushing jobs change nothing
    EXPECT_EQ(t.pendingCount() - before, row.pending);
  }
}

TEST_F(TrackOperationsTest, ActivityPaymentAndLoginWriteProfiles) {
  AppTrackerImpl& t = *m_Impl;
  t.trackActivity(m_None);
  auto profiles = Queued("profile");
  ASSERT_EQ(profiles.size(), 10u);
  EXPECT_TRUE(Contains(profiles[0], "\"type\":\"profile_set_once\"") && Contains(profiles[0], "$first_visit_time"));
  EXPECT_TRUE(Contains(profiles[3], "\"type\":\"profile_set\"") && Contains(profiles[3], "\"vx_os\":\"Windows\""));
  EXPECT_FALSE(Contains(profiles[3], "vx_app_id")) << "profiles carry no super properties";

  t.trackPayment(GoodPayment(), m_None);
  profiles = Queued("profile");
  ASSERT_EQ(profiles.size(), 14u);
  EXPECT_TRUE(Contains(profiles[10], "\"type\":\"profile_increment\"") && Contains(profiles[10], "\"vx_paid_count\":1"));
  EXPECT_TRUE(Contains(profiles[11], "\"vx_consumption\":1.5"));
  EXPECT_EQ(Setting(L"Base", L"UserVipLevel"), L"1");

  VxUserInfo user;
  user.userId = "u-5";
  user.vipLevel = 3;
  t.trackLogin(user, true, "", m_None);
  EXPECT_EQ(Queued("$SignUp").size(), 1u);
  EXPECT_EQ(Setting(L"Base", L"UserId"), L"u-5");
  EXPECT_EQ(Setting(L"Base", L"isLogined"), L"OK");
  EXPECT_EQ(Setting(L"Base", L"UserVipLevel"), L"3");
  t.trackLaunch(m_None);  // logged in now: the launch profile follows
  EXPECT_EQ(Queued("profile").size(), 17u);
  const auto launches = Queued("VxEventLaunch");
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_TRUE(Contains(launches[0], "\"distinct_id\":\"u-5\"") && Contains(launches[0], "\"vx_user_id\":\"u-5\""));
}

TEST(EnumerationTest, TextsAndOutOfRangeMessages) {
  EXPECT_EQ(toString(Event::Launch), "PaLaunchPal");
  EXPECT_EQ(toString(Event::AppOpenNotification), "AppOpenNotification");
  EXPECT_EQ(toString(Edition::Overseas), "overseas");
  EXPECT_EQ(userType(UserType::VexloUserId), "vexlouserid");
  EXPECT_EQ(toString(PaidPlatform::ChinaUnionPay), "ChinaUnionPay");
  EXPECT_EQ(toString(VxUpdateOp::UpgrateEnd), "UpgrateEnd");
  struct Row {
    std::function<void()> call;
    std::string failure;
  } rows[] = {
      {[] { toString(static_cast<Event>(15)); }, "toString: Unknown Event [15]!"},
      {[] { toString(static_cast<Edition>(-1)); }, "toString: Unknown edition [-1]!"},
      {[] { toString(static_cast<Currency>(11)); }, "toString: Unknown currency [11]!"},
      {[] { toString(static_cast<PaidPlatform>(10)); }, "toString: Unknown paid platform [10]!"},
      {[] { toString(static_cast<VxIapType>(4)); }, "toString: Unknown vxIapType [4]!"},
      {[] { toString(static_cast<VxUpdateResult>(6)); }, "toString: Unknown VxUpdateResult [6]!"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failure);
    EXPECT_EQ(Failure(row.call), row.failure);
  }
}

TEST(ContextPropertiesTest, RegistrationAndAbValues) {
  VxContextProperties c;
  c.setProperty("vxc_ab", "IN", {7});
  EXPECT_EQ(Failure([&] { c.setProperty("vxc_ab", "B", {3}); }), "setProperty: Property[vxc_ab] already exist!");
  EXPECT_EQ(Failure([&] { c.setProperty("x", 1.0, {3, 15, 4}); }), "setProperty: VxEvent[15] overflow!");
  EXPECT_EQ(c.getEventProperties(3).size(), 1u) << "lists before the failing number keep the entry";
  EXPECT_TRUE(c.getEventProperties(4).empty());
  EXPECT_EQ(Failure([&] { c.setProperty("y", true, {-1}); }), "setProperty: VxEvent[-1] overflow!");
  EXPECT_EQ(Failure([&] { c.getEventProperties(15); }), "getEventProperties: VxEvent[15] overflow!");

  struct Row {
    std::string value;
    std::string outcome;  // "true", "false" or the failure
  } rows[] = {
      {"A", "true"}, {"B1", "true"}, {"IN", "true"}, {"Z9Z", "true"}, {"", "false"},
      {"a1", "isValidABValue: First char is not in A to Z"},
      {"Ab", "isValidABValue: second char is not in A to Z and 0 to 9"},
      {"AB-", "isValidABValue: third char is not in A to Z and 0 to 9"},
      {"ABCD", "isValidABValue: value's length is great than 3."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    std::string outcome;
    const std::string failure = Failure([&] { outcome = VxContextProperties::isValidABValue(row.value) ? "true" : "false"; });
    EXPECT_EQ(failure == "no exception" ? outcome : failure, row.outcome);
  }
}

TEST_F(TrackOperationsTest, ContextDateTimeIsLocalTimeText) {
  VxContextProperties c;
  c.setDateTimeProperty("vxc_when", 1709647629120LL, {3});
  c.setDateTimeProperty("vxc_sec", 1709647629LL, {3});
  m_Impl->trackClick(ClickNamed("n"), c);
  const auto clicks = Queued("VxEventClick");
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_TRUE(Contains(clicks[0], "\"vxc_when\":\"2024-03-05 14:07:09.120\"")) << clicks[0];
  EXPECT_TRUE(Contains(clicks[0], "\"vxc_sec\":\"2024-03-05 14:07:09.000\""));
}

TEST(NativeUserTrackerTest, ModesRefuseWhatTheyCannotDo) {
  struct Row {
    std::function<void()> call;
    std::string failure;
  } rows[] = {
      {[] { NativeUserTracker::ProfileUserPropertyString("vx_paid_count", "x"); },
       "ProfileUserPropertyString: user property [vx_paid_count] is string type value, it cannot be accumulated!"},
      {[] { NativeUserTracker::ProfileUserPropertyString("unknown_key", "x"); },
       "ProfileUserPropertyString: Not supported user property [unknown_key]!"},
      {[] { NativeUserTracker::ProfileUserPropertyNumber("nope", 1.0); },
       "ProfileUserPropertyNumber: Not supported user property [nope]!"},
      {[] { NativeUserTracker::ProfileUserPropertyDateTime("vx_visit_count", 1); },
       "ProfileUserPropertyDateTime: user property [vx_visit_count] is date-time value, it cannot be accumulated!"},
      {[] { NativeUserTracker::ProfileUserPropertyString("vx_label", "ok"); }, "no exception"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.failure);
    EXPECT_EQ(Failure(row.call), row.failure);
  }
  EXPECT_EQ(NativeUserTracker::ModeOf("vx_first_paid_date"), ProfileMode::SetOnce);
  EXPECT_EQ(NativeUserTracker::ModeOf("vx_consumption"), ProfileMode::Accumulate);
  EXPECT_EQ(NativeUserTracker::ModeOf("vx_city"), ProfileMode::Set);
}
