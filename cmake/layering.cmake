# The rooms of src/, each one library. A room is declared once, with the
# rooms it uses directly: the same list links it and says which rooms its
# sources may include, so an include across a missing edge (a dialog
# including storage/, say) stops the build when it is configured.
#
#   qvd_room(NAME SOURCES file... [USES room...])
#
# USES: the rooms it links and includes (res: the resource headers, no library).
function(qvd_room name)
    cmake_parse_arguments(ROOM "" "" "SOURCES;USES" ${ARGN})
    add_library(qvd_${name} STATIC ${ROOM_SOURCES})
    foreach(used ${ROOM_USES})
        if(NOT used STREQUAL "res")
            target_link_libraries(qvd_${name} PUBLIC qvd_${used})
        endif()
    endforeach()
    set_property(GLOBAL PROPERTY QVD_EDGES_${name} ${name} ${ROOM_USES})
    set_property(GLOBAL APPEND PROPERTY QVD_ROOMS qvd_${name})
endfunction()

# Reads every source's includes of src/ against its room's edges.
function(qvd_check_layering)
    file(GLOB_RECURSE sources RELATIVE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.cpp)
    foreach(source ${sources})
        # Checked again whenever a source changes.
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${source})
        string(REGEX MATCH "^[a-z0-9]+" room "${source}")
        get_property(edges GLOBAL PROPERTY QVD_EDGES_${room})
        if(NOT edges)
            message(FATAL_ERROR "src/${source}: ${room}/ is no room declared with qvd_room")
        endif()
        file(STRINGS ${CMAKE_SOURCE_DIR}/src/${source} includes REGEX "^#include \"[a-z0-9]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"([a-z0-9]+)/.*" "\\1" target "${line}")
            list(FIND edges ${target} found)
            if(found EQUAL -1)
                message(FATAL_ERROR "src/${source}: the ${room} room may not include ${target}/")
            endif()
        endforeach()
    endforeach()
endfunction()
