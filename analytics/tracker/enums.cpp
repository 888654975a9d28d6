#include "analytics/tracker/enums.h"

#include <iterator>

#include "analytics/tracker/vx_exception.h"

namespace vexlo::analytics {

namespace {

constexpr const char* kFile = "VxEnums";

template <size_t N>
std::string Lookup(const char* const (&table)[N], int value, const char* function, const std::string& message) {
  if (value < 0 || static_cast<size_t>(value) >= N) VX_THROW(kFile, function, message);
  return table[value];
}

std::string Unknown(const char* what, int value) { return std::string("Unknown ") + what + " [" + std::to_string(value) + "]!"; }

}  // namespace

std::string toString(Event value) {
  static const char* const kTexts[] = {"Activity", "PaLaunchPal", "Login",   "Click",     "View",
                                       "Cashier",  "Share",       "Task",    "File",      "Order",
                                       "Payment",  "Uninstall",   "Update",  "Crashed",   "AppOpenNotification"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("Event", v));
}

std::string toString(Edition value) {
  static const char* const kTexts[] = {"china", "overseas"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("edition", v));
}

std::string userType(UserType value) {
  static const char* const kTexts[] = {"unknown", "mobilephone", "email", "weixin",      "qq",     "deviceid",
                                       "baidu",   "huawei",      "apple", "vexlouserid", "google", "facebook"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "userType", Unknown("user type", v));
}

std::string toString(VxResult value) {
  static const char* const kTexts[] = {"Success", "Cancelled", "Fail", "Unknown"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("task result", v));
}

std::string toString(ClickType value) {
  static const char* const kTexts[] = {"Button", "Banner", "Tutorial", "File", "Others"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("ClickType", v));
}

std::string toString(IoType value) {
  static const char* const kTexts[] = {"Input", "Output"};
  return Lookup(kTexts, static_cast<int>(value), "toString", "the io type is invalid");
}

std::string toString(Currency value) {
  static const char* const kTexts[] = {"CNY", "USD", "EUR", "HKD", "TWD", "MOP",
                                       "SGD", "JPY", "KRW", "INR", "GBP"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("currency", v));
}

std::string toString(PaidPlatform value) {
  static const char* const kTexts[] = {"Alipay",    "WeChatPay", "PayPal",   "Tenpay", "CIECC",
                                       "GooglePay", "HuaweiPay", "AppleIAP", "Paddle", "ChinaUnionPay"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("paid platform", v));
}

std::string toString(VxIapType value) {
  static const char* const kTexts[] = {"Consumable", "NonConsumable", "AutoRenewable", "NonRenewable"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("vxIapType", v));
}

std::string toString(VxUpdateOp value) {
  static const char* const kTexts[] = {"UpdateCheck", "DownloadStart", "DownloadEnd", "UpgrateStart", "UpgrateEnd"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("VxUpdateOp", v));
}

std::string toString(VxUpdateResult value) {
  static const char* const kTexts[] = {"Success", "Cancelled", "Timeout", "Fail", "Latest", "Updateable"};
  const int v = static_cast<int>(value);
  return Lookup(kTexts, v, "toString", Unknown("VxUpdateResult", v));
}

}  // namespace vexlo::analytics
