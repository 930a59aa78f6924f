# The test host: every layer but the Win32 backend, under ASan and UBSan.
find_package(GTest REQUIRED)

set(SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(qvdcore PRIVATE ${SANITIZERS})

add_library(qvdmemory STATIC src/framework/memory/memory_platform.cpp)
target_link_libraries(qvdmemory PUBLIC qvdcore)
target_compile_options(qvdmemory PRIVATE ${SANITIZERS})

add_executable(unit_tests
    tests/unit/test_main.cpp
    tests/unit/book_test.cpp
    tests/unit/book_file_test.cpp
    tests/unit/framework_test.cpp
    tests/unit/startup_test.cpp
    tests/unit/address_dialog_test.cpp
    tests/unit/destinations_test.cpp
    tests/unit/driver_test.cpp
    tests/unit/entry_dialogs_test.cpp
    tests/unit/entry_commands_test.cpp
    tests/unit/company_about_test.cpp
    tests/unit/resources_test.cpp)
target_compile_definitions(unit_tests PRIVATE QVD_RC_PATH="${CMAKE_SOURCE_DIR}/res/qvdutil.rc")
target_compile_options(unit_tests PRIVATE ${SANITIZERS})
target_link_options(unit_tests PRIVATE ${SANITIZERS})
target_link_libraries(unit_tests PRIVATE qvdmemory GTest::gtest)

enable_testing()
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST)

find_package(benchmark QUIET)
if(benchmark_FOUND)
    add_executable(book_bench bench/book_bench.cpp)
    target_link_libraries(book_bench PRIVATE qvdcore benchmark::benchmark)
endif()

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    add_executable(parse_fuzzer fuzz/parse_fuzzer.cpp)
    target_compile_options(parse_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(parse_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(parse_fuzzer PRIVATE qvdcore)
    add_executable(restore_fuzzer fuzz/restore_fuzzer.cpp)
    target_compile_options(restore_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(restore_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(restore_fuzzer PRIVATE qvdcore)
endif()
