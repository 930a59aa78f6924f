# The product, the driver stand-in and the end-to-end tests.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I ${CMAKE_SOURCE_DIR}/res")
set(STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# The Win32 backends: of the system's seams, which need no window library,
# and of the windowing seam.
add_library(qvd_system_win32 STATIC src/system/win32/win32_files.cpp src/system/win32/win32_process.cpp
    src/system/win32/win32_registry.cpp src/system/win32/win32_security.cpp src/system/win32/code_page_win32.cpp
    src/system/win32/win32_directory.cpp)
target_link_libraries(qvd_system_win32 PUBLIC qvd_system advapi32 wldap32)
add_library(qvd_windowing_win32 STATIC src/framework/win32/win32_windowing.cpp)
target_link_libraries(qvd_windowing_win32 PUBLIC qvd_framework user32 gdi32 comctl32)

add_executable(qvdutil WIN32 src/app/main.cpp src/framework/win32/winmain.cpp res/qvdutil.rc)
target_link_libraries(qvdutil PRIVATE qvd_app qvd_windowing_win32 qvd_system_win32 ${STATIC_RUNTIME})

# The administrator's console tool for the book.
add_executable(qvdbook src/tool/win32/qvdbook_main.cpp res/qvdbook.rc)
target_link_options(qvdbook PRIVATE -municode)
target_link_libraries(qvdbook PRIVATE qvd_tool qvd_system_win32 ${STATIC_RUNTIME})

add_executable(faxdriver tools/driver-standin/faxdriver.cpp)
target_link_libraries(faxdriver PRIVATE advapi32 ${STATIC_RUNTIME})

add_executable(democlient tools/demo-client/democlient.cpp)
target_include_directories(democlient PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(democlient PRIVATE user32 ${STATIC_RUNTIME})

add_executable(launch_bench bench/launch_bench.cpp)
target_link_libraries(launch_bench PRIVATE user32 advapi32 ${STATIC_RUNTIME})

add_executable(save_bench bench/save_bench.cpp)
target_link_libraries(save_bench PRIVATE qvd_book qvd_system_win32 ${STATIC_RUNTIME})

option(QVD_E2E "Build the end-to-end tests" ON)
if(QVD_E2E)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest's own sources are not ours to hold to -Werror or CP932.
    target_compile_options(gtest PRIVATE -Wno-error -finput-charset=UTF-8 -fexec-charset=UTF-8)
    target_compile_options(gtest_main PRIVATE -Wno-error -finput-charset=UTF-8 -fexec-charset=UTF-8)

    add_executable(e2e_tests
        tests/e2e/automation.cpp
        tests/e2e/startup_test.cpp
        tests/e2e/book_test.cpp
        tests/e2e/destinations_test.cpp
        tests/e2e/directory_test.cpp
        tests/e2e/company_about_test.cpp
        tests/e2e/tool_test.cpp)
    target_include_directories(e2e_tests PRIVATE src ${CMAKE_SOURCE_DIR})
    target_link_libraries(e2e_tests PRIVATE gtest gtest_main user32 advapi32 ${STATIC_RUNTIME})
    # Under Wine, as the end-to-end tests' own Unix user: one test for ctest,
    # each of its cases shown in its output.
    set_target_properties(e2e_tests PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-as-tester)
    add_test(NAME e2e COMMAND e2e_tests --gtest_brief=1 --gtest_filter=-TwoPcs.*:ToolTest.ThePackage* --gtest_output=xml:report.xml)
    # Two PCs on one shared folder: two prefixes, one after the other.
    add_test(NAME two_pcs COMMAND ${CMAKE_SOURCE_DIR}/scripts/two-pcs $<TARGET_FILE:e2e_tests>)
    set_tests_properties(e2e PROPERTIES TIMEOUT 1200 RUN_SERIAL TRUE)
    set_tests_properties(two_pcs PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endif()
