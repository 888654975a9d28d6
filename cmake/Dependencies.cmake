# Third-party pieces: all from Debian, the source-only ones prepared by setup.sh.
set(PARLINO_DEPS_DIR "$ENV{PARLINO_DEPS}")
if(NOT PARLINO_DEPS_DIR)
  set(PARLINO_DEPS_DIR "$ENV{HOME}/.cache/parlino-deps")
endif()
if(NOT EXISTS "${PARLINO_DEPS_DIR}/paths.cmake")
  message(FATAL_ERROR "Dependencies are missing: run ./setup.sh first")
endif()
include("${PARLINO_DEPS_DIR}/paths.cmake")

# zlib and libcurl
if(WIN32)
  add_library(parlino_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(parlino_zlib PROPERTIES IMPORTED_LOCATION /usr/${PARLINO_MINGW_TRIPLE}/lib/libz.a)
  add_library(ZLIB::ZLIB ALIAS parlino_zlib)
  set(_curl "${PARLINO_DEPS_DIR}/curl-${PARLINO_CURL_VERSION}-${PARLINO_FLAVOUR}")
  add_library(parlino_curl STATIC IMPORTED GLOBAL)
  set_target_properties(parlino_curl PROPERTIES
    IMPORTED_LOCATION "${_curl}/lib/libcurl.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_curl}/include"
    INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
    INTERFACE_LINK_LIBRARIES "ZLIB::ZLIB;ws2_32;wldap32;crypt32;secur32;bcrypt;advapi32;normaliz")
  add_library(CURL::libcurl ALIAS parlino_curl)
else()
  find_package(ZLIB REQUIRED)
  find_package(CURL REQUIRED)
endif()

# stb_image (header only, from libstb-dev)
add_library(stb_image INTERFACE)
target_include_directories(stb_image SYSTEM INTERFACE /usr/include/stb)

# The 7z reader's C sources from Debian's 7zip source package.
set(_7z "${PARLINO_SEVENZIP_SRC}/C")
add_library(sevenzip STATIC
  ${_7z}/7zAlloc.c ${_7z}/7zArcIn.c ${_7z}/7zBuf.c ${_7z}/7zBuf2.c ${_7z}/7zCrc.c ${_7z}/7zCrcOpt.c
  ${_7z}/7zDec.c ${_7z}/7zFile.c ${_7z}/7zStream.c ${_7z}/Bcj2.c ${_7z}/Bra.c ${_7z}/Bra86.c
  ${_7z}/BraIA64.c ${_7z}/CpuArch.c ${_7z}/Delta.c ${_7z}/Lzma2Dec.c ${_7z}/LzmaDec.c)
target_include_directories(sevenzip SYSTEM PUBLIC ${_7z})
target_compile_options(sevenzip PRIVATE -w)
# The reader reads little-endian fields with deliberate unaligned loads on x86.
if(NOT WIN32)
  target_compile_options(sevenzip PRIVATE -fno-sanitize=alignment)
endif()

# GoogleTest
if(PARLINO_TESTS)
  if(WIN32)
    set(_gt "${PARLINO_DEPS_DIR}/gtest-${PARLINO_GTEST_VERSION}-${PARLINO_FLAVOUR}")
    set(GTest_DIR "${_gt}/lib/cmake/GTest")
    find_package(GTest REQUIRED CONFIG PATHS "${_gt}" NO_DEFAULT_PATH)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()
