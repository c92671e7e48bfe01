# The demo server as a ctest fixture ("demo_server"): the catalogue and app suites fetch
# the demo configuration through the box's real request path. Its port is in test-servers/demo.port.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(QOVRA_DEMO_SERVER ${CMAKE_SOURCE_DIR}/tools/demo-server/demo_server.py)
add_test(NAME demo_server_start COMMAND ${Python3_EXECUTABLE} ${QOVRA_DEMO_SERVER} start ${CMAKE_BINARY_DIR}/test-servers)
add_test(NAME demo_server_stop COMMAND ${Python3_EXECUTABLE} ${QOVRA_DEMO_SERVER} stop ${CMAKE_BINARY_DIR}/test-servers)
set_tests_properties(demo_server_start PROPERTIES FIXTURES_SETUP demo_server)
set_tests_properties(demo_server_stop PROPERTIES FIXTURES_CLEANUP demo_server)
foreach(suite catalogue_tests app_tests)
  if(TARGET ${suite})
    set_property(TEST ${suite} APPEND PROPERTY FIXTURES_REQUIRED demo_server)
  endif()
endforeach()
