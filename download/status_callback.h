#pragma once
// How every worker reports: (code, value, text). The text is valid only during the call.
#include <cstdint>
#include <functional>

using StatusCallback = std::function<void(int32_t code, double value, const wchar_t* text)>;
