#include "analytics/tracker/enums.h"

#include <iterator>

#include "analytics/tracker/vx_exception.h"

namespace vexlo::analytics {

namespace {

constexpr const char* kFile = "VxEnums";

// The message is built only for a value outside the table, not on every lookup.
template <typename Enum, size_t N, typename Message>
std::string Lookup(const char* const (&table)[N], Enum value, const char* function, Message message) {
  const int v = static_cast<int>(value);
  if (v < 0 || static_cast<size_t>(v) >= N) VX_THROW(kFile, function, message(v));
  return table[v];
}

// "Unknown <what> [<value>]!"
auto Unknown(const char* what) {
  return [what](int value) { return std::string("Unknown ") + what + " [" + std::to_string(value) + "]!"; };
}

}  // namespace

std::string toString(Event value) {
  static const char* const kTexts[] = {"Activity", "PaLaunchPal", "Login",   "Click",     "View",
                                       "Cashier",  "Share",       "Task",    "File",      "Order",
                                       "Payment",  "Uninstall",   "Update",  "Crashed",   "AppOpenNotification"};
  return Lookup(kTexts, value, "toString", Unknown("Event"));
}

std::string toString(Edition value) {
  static const char* const kTexts[] = {"china", "overseas"};
  return Lookup(kTexts, value, "toString", Unknown("edition"));
}

std::string userType(UserType value) {
  static const char* const kTexts[] = {"unknown", "mobilephone", "email", "weixin",      "qq",     "deviceid",
                                       "baidu",   "huawei",      "apple", "vexlouserid", "google", "facebook"};
  return Lookup(kTexts, value, "userType", Unknown("user type"));
}

std::string toString(VxResult value) {
  static const char* const kTexts[] = {"Success", "Cancelled", "Fail", "Unknown"};
  return Lookup(kTexts, value, "toString", Unknown("task result"));
}

std::string toString(ClickType value) {
  static const char* const kTexts[] = {"Button", "Banner", "Tutorial", "File", "Others"};
  return Lookup(kTexts, value, "toString", Unknown("ClickType"));
}

std::string toString(IoType value) {
  static const char* const kTexts[] = {"Input", "Output"};
  return Lookup(kTexts, value, "toString", [](int) { return std::string("the io type is invalid"); });
}

std::string toString(Currency value) {
  static const char* const kTexts[] = {"CNY", "USD", "EUR", "HKD", "TWD", "MOP",
                                       "SGD", "JPY", "KRW", "INR", "GBP"};
  return Lookup(kTexts, value, "toString", Unknown("currency"));
}

std::string toString(PaidPlatform value) {
  static const char* const kTexts[] = {"Alipay",    "WeChatPay", "PayPal",   "Tenpay", "CIECC",
                                       "GooglePay", "HuaweiPay", "AppleIAP", "Paddle", "ChinaUnionPay"};
  return Lookup(kTexts, value, "toString", Unknown("paid platform"));
}

std::string toString(VxIapType value) {
  static const char* const kTexts[] = {"Consumable", "NonConsumable", "AutoRenewable", "NonRenewable"};
  return Lookup(kTexts, value, "toString", Unknown("vxIapType"));
}

std::string toString(VxUpdateOp value) {
  static const char* const kTexts[] = {"UpdateCheck", "DownloadStart", "DownloadEnd", "UpgrateStart", "UpgrateEnd"};
  return Lookup(kTexts, value, "toString", Unknown("VxUpdateOp"));
}

std::string toString(VxUpdateResult value) {
  static const char* const kTexts[] = {"Success", "Cancelled", "Timeout", "Fail", "Latest", "Updateable"};
  return Lookup(kTexts, value, "toString", Unknown("VxUpdateResult"));
}

}  // namespace vexlo::analytics
