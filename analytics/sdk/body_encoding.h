#pragma once
// The analytics request body: "data_list=" + UrlEncode(Base64(gzip(json))) + "&gzip=1".
#include <string>

namespace track_sdk {

// gzip (level 9, window bits 31) of the whole input. False, with a message on
// standard error, when zlib refuses.
bool GzipCompress(const std::string& input, std::string& output);
// Standard alphabet with '=' padding.
std::string Base64Encode(const std::string& bytes);
// Letters, digits and "-._~" copied; every other byte as "%XX" (upper-case hex).
std::string UrlEncode(const std::string& text);
// False when compression fails.
bool EncodeBody(const std::string& json, std::string& body);

}  // namespace track_sdk
