# One library per subsystem folder of src/, one GoogleTest executable per folder of tests/.

function(qovra_sources out dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  set(${out} ${srcs} PARENT_SCOPE)
endfunction()

function(qovra_library name srcs deps)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC ${deps} qovra_options)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${deps} qovra_options)
  endif()
endfunction()

# platform/: the portable half (formats the box writes itself) plus the backend of this
# build (posix or win32); headless/ is its own library, linked by tests and tools.
function(qovra_platform)
  qovra_sources(common src/platform)
  qovra_sources(backend src/platform/${QOVRA_BACKEND})
  if(WIN32)
    set(libs wininet winhttp shlwapi shell32 ole32 oleaut32 uuid version crypt32 advapi32
             comctl32 comdlg32 gdi32 user32 kernel32 z)
  else()
    find_package(CURL REQUIRED)
    find_package(LibArchive REQUIRED)
    find_package(OpenSSL REQUIRED)
    find_package(ZLIB REQUIRED)
    find_package(Threads REQUIRED)
    set(libs CURL::libcurl LibArchive::LibArchive OpenSSL::Crypto ZLIB::ZLIB Threads::Threads)
  endif()
  qovra_library(qovra_platform "${common};${backend}" "${libs}")
  qovra_sources(headless src/platform/headless)
  qovra_library(qovra_headless "${headless}" "qovra_platform")
endfunction()

function(qovra_module name)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  qovra_sources(srcs src/${name})
  qovra_library(qovra_${name} "${srcs}" "${M_DEPS}")
endfunction()

function(qovra_test_setup)
  if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Paths handed to a program under Wine go through its Z: drive.
    set(QOVRA_HOST_PREFIX "Z:" PARENT_SCOPE)
  else()
    find_package(GTest REQUIRED)
    set(QOVRA_HOST_PREFIX "" PARENT_SCOPE)
  endif()
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-results)
endfunction()

# tests/<name>/ becomes <name>_tests, run whole by ctest (starting a Wine process costs
# seconds, so there is one process per suite, not one per case). Its results land in
# test-results/<name>_tests.xml, which ./test adds up.
function(qovra_tests name)
  qovra_sources(srcs tests/${name})
  if(NOT srcs)
    return()
  endif()
  set(lib qovra_${name})
  add_executable(${name}_tests ${srcs} ${CMAKE_SOURCE_DIR}/tests/test_main.cpp)
  target_link_libraries(${name}_tests PRIVATE ${lib} qovra_headless GTest::gtest GTest::gmock)
  target_include_directories(${name}_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name}_tests PRIVATE
    QOVRA_SOURCE_DIR="${QOVRA_HOST_PREFIX}${CMAKE_SOURCE_DIR}"
    QOVRA_SHARED_DIR="${QOVRA_HOST_PREFIX}${CMAKE_SOURCE_DIR}/../shared"
    QOVRA_BINARY_DIR="${QOVRA_HOST_PREFIX}${CMAKE_BINARY_DIR}")
  if(WIN32)
    target_link_options(${name}_tests PRIVATE -mconsole)
  endif()
  add_test(NAME ${name}_tests COMMAND ${name}_tests
           --gtest_output=xml:${QOVRA_HOST_PREFIX}${CMAKE_BINARY_DIR}/test-results/${name}_tests.xml)
  set_tests_properties(${name}_tests PROPERTIES TIMEOUT 600)
endfunction()
