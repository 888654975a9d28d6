# parlino_add_test(NAME SOURCES src... LIBS lib... [LABELS l...] [FIXTURES f...] [ENV K=V...])
# One GoogleTest executable, registered with CTest. Under a cross build CTest runs it
# through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR).
function(parlino_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;FIXTURES;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS "${PARLINO_FLAVOUR};${T_LABELS}"
    ENVIRONMENT "PARLINO_SOURCE_DIR=${CMAKE_SOURCE_DIR};PARLINO_BINARY_DIR=${CMAKE_BINARY_DIR};${T_ENV}"
    TIMEOUT 600)
  if(T_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
endfunction()

# parlino_add_server_fixture(NAME COMMAND cmd...)
# A CTest fixture NAME whose setup starts a loopback server (see tools/server_ctl.sh)
# and whose cleanup stops it. Tests declare FIXTURES NAME and read the port with
# TestServerPort("NAME") from tests/support.
function(parlino_add_server_fixture name)
  cmake_parse_arguments(F "" "" "COMMAND" ${ARGN})
  set(dir ${CMAKE_BINARY_DIR}/servers)
  add_test(NAME ${name}_start COMMAND ${CMAKE_SOURCE_DIR}/tools/server_ctl.sh start ${name} ${dir} ${F_COMMAND})
  add_test(NAME ${name}_stop COMMAND ${CMAKE_SOURCE_DIR}/tools/server_ctl.sh stop ${name} ${dir})
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} LABELS fixture)
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} LABELS fixture)
endfunction()
