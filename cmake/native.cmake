# The test host: every layer but the Win32 backend, under ASan and UBSan.

option(QVD_FUZZ "Build the libFuzzer targets (clang)" OFF)
option(QVD_SANITIZE "Build under ASan and UBSan (off for benchmarks)" ON)
set(SANITIZERS)
if(QVD_SANITIZE)
    set(SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()
if(QVD_FUZZ)
    list(APPEND SANITIZERS -fsanitize=fuzzer-no-link)
endif()
target_sources(qvd_system PRIVATE src/system/posix/code_page_iconv.cpp)
foreach(room ${QVD_ROOMS})
    target_compile_options(${room} PRIVATE ${SANITIZERS})
endforeach()

add_library(qvdmemory STATIC tests/support/memory_files.cpp tests/support/memory_registry.cpp
    tests/support/memory_windows.cpp)
target_link_libraries(qvdmemory PUBLIC qvd_app qvd_tool)
target_include_directories(qvdmemory PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_compile_options(qvdmemory PRIVATE ${SANITIZERS})

if(NOT QVD_FUZZ)
find_package(GTest REQUIRED)
add_executable(unit_tests
    tests/unit/test_main.cpp
    tests/unit/book_test.cpp
    tests/unit/book_file_test.cpp
    tests/unit/framework_test.cpp
    tests/unit/storage_test.cpp
    tests/unit/startup_test.cpp
    tests/unit/address_dialog_test.cpp
    tests/unit/destinations_test.cpp
    tests/unit/driver_test.cpp
    tests/unit/entry_dialogs_test.cpp
    tests/unit/entry_commands_test.cpp
    tests/unit/company_about_test.cpp
    tests/unit/resources_test.cpp
    tests/unit/tool_test.cpp
    tests/unit/find_test.cpp
    tests/unit/groups_test.cpp
    tests/unit/directory_test.cpp
    tests/unit/office_test.cpp)
target_compile_definitions(unit_tests PRIVATE QVD_RC_PATH="${CMAKE_SOURCE_DIR}/res/qvdutil.rc")
target_compile_options(unit_tests PRIVATE ${SANITIZERS})
target_link_options(unit_tests PRIVATE ${SANITIZERS})
target_link_libraries(unit_tests PRIVATE qvdmemory GTest::gtest)

include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST)
endif()

# Benchmarks only in a build without sanitizers.
find_package(benchmark QUIET)
if(benchmark_FOUND AND NOT QVD_SANITIZE)
    add_executable(book_bench bench/book_bench.cpp)
    target_link_libraries(book_bench PRIVATE qvd_picker benchmark::benchmark)
endif()

if(QVD_FUZZ)
    foreach(target parse_fuzzer parse_diff_fuzzer restore_fuzzer journal_fuzzer import_fuzzer)
        add_executable(${target} fuzz/${target}.cpp)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_compile_definitions(${target} PRIVATE QVD_RC_PATH="${CMAKE_SOURCE_DIR}/res/qvdutil.rc")
        target_link_libraries(${target} PRIVATE qvdmemory)
    endforeach()
endif()
