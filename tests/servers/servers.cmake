# The local test servers, started and stopped by ctest around the suites that need them
# (fixture "web_servers"). Each server writes its port under test-servers/ of the build.
# The servers run on the build machine, so a Windows suite under Wine reaches them too.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QOVRA_SERVER_DIR ${CMAKE_BINARY_DIR}/test-servers)
add_test(NAME web_servers_start
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/servers/web_test_server.py start ${QOVRA_SERVER_DIR})
add_test(NAME web_servers_stop
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/servers/web_test_server.py stop ${QOVRA_SERVER_DIR})
set_tests_properties(web_servers_start PROPERTIES FIXTURES_SETUP web_servers)
set_tests_properties(web_servers_stop PROPERTIES FIXTURES_CLEANUP web_servers)
if(TARGET web_tests)
  set_tests_properties(web_tests PROPERTIES FIXTURES_REQUIRED web_servers)
endif()
