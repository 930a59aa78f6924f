# The rooms' include edges, checked when the build is configured: a room may
# include itself and the rooms below it that it links to, nothing else, so
# an include across a missing edge stops the build here.
set(QVD_EDGES_system system)
set(QVD_EDGES_storage storage system)
set(QVD_EDGES_book book storage system)
set(QVD_EDGES_driver driver book storage system)
set(QVD_EDGES_picker picker driver book storage system)
set(QVD_EDGES_framework framework system res)
set(QVD_EDGES_dialogs dialogs picker driver book storage framework system res)
set(QVD_EDGES_app app dialogs picker driver book storage framework system res)
set(QVD_EDGES_tool tool driver book storage system framework)  # framework: its Win32 backend, in qvdbook.exe only

file(GLOB_RECURSE qvd_sources RELATIVE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.cpp)
foreach(source ${qvd_sources})
    # Checked again whenever a source changes.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${source})
    string(REGEX MATCH "^[a-z0-9]+" room "${source}")
    file(STRINGS ${CMAKE_SOURCE_DIR}/src/${source} includes REGEX "^#include \"[a-z0-9]+/")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([a-z0-9]+)/.*" "\\1" target "${line}")
        list(FIND QVD_EDGES_${room} ${target} found)
        if(found EQUAL -1)
            message(FATAL_ERROR "src/${source}: the ${room} room may not include ${target}/")
        endif()
    endforeach()
endforeach()
