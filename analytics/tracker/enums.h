#pragma once
// Enumerations whose texts appear in event properties. Each toString raises
// VxException (function "toString", "userType" for UserType) for a value outside
// its table.
#include <string>

namespace vexlo::analytics {

enum class Event : int {
  Activity = 0, Launch = 1, Login = 2, Click = 3, View = 4, Cashier = 5, Share = 6, Task = 7, File = 8,
  Order = 9, Payment = 10, Uninstall = 11, Update = 12, Crashed = 13, AppOpenNotification = 14
};
constexpr int kEventCount = 15;
enum class Edition : int { China = 0, Overseas = 1 };
enum class UserType : int {
  Unknown = 0, MobilePhone, Email, Weixin, QQ, DeviceId, Baidu, Huawei, Apple, VexloUserId, Google, Facebook
};
enum class VxResult : int { Success = 0, Cancelled = 1, Fail = 2, Unknown = 3 };
enum class ClickType : int { Button = 0, Banner = 1, Tutorial = 2, File = 3, Others = 4 };
enum class IoType : int { Input = 0, Output = 1 };
enum class Currency : int { CNY = 0, USD, EUR, HKD, TWD, MOP, SGD, JPY, KRW, INR, GBP };
enum class PaidPlatform : int {
  Alipay = 0, WeChatPay, PayPal, Tenpay, CIECC, GooglePay, HuaweiPay, AppleIAP, Paddle, ChinaUnionPay
};
enum class VxIapType : int { Consumable = 0, NonConsumable, AutoRenewable, NonRenewable };
enum class VxUpdateOp : int { UpdateCheck = 0, DownloadStart, DownloadEnd, UpgrateStart, UpgrateEnd };
enum class VxUpdateResult : int { Success = 0, Cancelled, Timeout, Fail, Latest, Updateable };

std::string toString(Event value);
std::string toString(Edition value);
std::string userType(UserType value);
std::string toString(VxResult value);
std::string toString(ClickType value);
std::string toString(IoType value);
std::string toString(Currency value);
std::string toString(PaidPlatform value);
std::string toString(VxIapType value);
std::string toString(VxUpdateOp value);
std::string toString(VxUpdateResult value);

}  // namespace vexlo::analytics
