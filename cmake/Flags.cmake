# Compiler and linker flags per flavour.
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(PARLINO_FLAVOUR STREQUAL "native")
  set(PARLINO_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(PARLINO_FLAVOUR STREQUAL "native-fuzz")
  # Libraries get coverage instrumentation; each fuzz target adds -fsanitize=fuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link)
  set(PARLINO_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
elseif(PARLINO_FLAVOUR STREQUAL "native-tsan")
  set(PARLINO_SANITIZE -fsanitize=thread -fno-omit-frame-pointer)
endif()
if(PARLINO_SANITIZE)
  add_compile_options(${PARLINO_SANITIZE})
  add_link_options(${PARLINO_SANITIZE})
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 CURL_STATICLIB)
  # Runs on a clean Windows: no mingw runtime DLLs next to the executable.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  find_package(Threads REQUIRED)
  link_libraries(Threads::Threads)
endif()
