#pragma once
// Argument records of the track operations. Strings are UTF-8; optional values are
// held by shared pointers that may be empty.
#include <cstdint>
#include <memory>
#include <string>

#include "analytics/tracker/enums.h"

namespace vexlo::analytics {

struct VxEventClick {
  std::string aname;
  std::string name;  // required
  ClickType clickType = ClickType::Others;
  std::string title;
  std::string module;
  std::string position;
  std::shared_ptr<int> tabIndex;
  std::string tabName;
  std::shared_ptr<int> bannerIndex;
  std::string bannerName;
};

struct VxEventView {
  std::string aname;
  std::string name;  // required
  std::string title;
  std::string position;
};

struct VxEventCashier {
  std::string cashierName;  // required
  std::string cashierTitle;
  std::string subitem;
};

struct VxEventShare {
  std::string aname;
  std::string channel;
  std::string position;
  std::string sharedName;
  std::shared_ptr<VxResult> result;
};

struct VxEventTask {
  std::string aname;
  std::string name;  // required
  std::string reason;
  std::shared_ptr<float> elapsed;  // seconds
  std::shared_ptr<VxResult> result;
};

struct VxEventFile {
  std::string aname;  // required
  std::string name;
  std::shared_ptr<IoType> ioType;
  std::string ext;
  std::shared_ptr<float> size;
  std::shared_ptr<int> duration;
  std::shared_ptr<float> fps;
  std::shared_ptr<float> bps;
  std::shared_ptr<int> width;
  std::shared_ptr<int> height;
  std::shared_ptr<int> depth;
  std::shared_ptr<VxResult> result;
};

struct VxEventOrder {
  std::string orderId;
  std::string subitem;
  std::string sku;
  std::string suitId;                  // required
  std::shared_ptr<Currency> currency;  // required
  float originalAmount = 0;
  std::string voucherId;
  float paidAmount = 0;
  std::string cashierName;
  std::string cashierTitle;
  std::shared_ptr<int> campaignCode;
  float curOriginalAmount = 0;
  float curPaidAmount = 0;
};

struct VxEventPayment {
  std::string orderId;  // required
  std::string subitem;
  std::string sku;
  std::shared_ptr<Currency> currency;
  float originalAmount = 0;
  std::shared_ptr<int> campaignCode;
  std::string voucherId;
  std::string usedVoucherId;
  float paidAmount = 0;
  std::string suitId;
  std::string cashierName;
  std::string cashierTitle;
  std::shared_ptr<PaidPlatform> paidPlatform;
  std::shared_ptr<VxResult> result;  // required: Success or Fail
  std::shared_ptr<VxIapType> iapType;
  float curOriginalAmount = 0;
  float curPaidAmount = 0;
};

struct VxEventUpdate {
  VxUpdateOp operation = VxUpdateOp::UpdateCheck;
  std::shared_ptr<VxUpdateResult> result;
  std::shared_ptr<float> elapsed;
};

struct AppOpenNotification {
  std::string msgTitle;
  std::string msgContent;
  std::string linkUrl;
  std::string planId;
  std::string audienceId;
  std::string planStrategyId;
  std::string planType;
  std::string strategyUnitId;
};

struct VxUserInfo {
  std::string userId;
  std::string userName;
  UserType userType = UserType::Unknown;
  std::string nickname;
  std::string portrait;
  std::string mobilePhone;
  std::string email;
  std::string weixin;
  std::string qq;
  std::string did;
  int64_t created = 0;
  int64_t lastLogin = 0;
  std::string lastIp;
  int vipLevel = 0;
  int64_t vipEndDate = 0;
};

}  // namespace vexlo::analytics
