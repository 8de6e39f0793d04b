# talvio_library(<name> [DIRS <folders...>] [LIBS <libraries...>] [WIN32_LIBS <system libs...>])
# Builds talvio_<name> from the .cpp files of its folders. A file ending in
# _win32.cpp is built only for Windows, one ending in _hosted.cpp only for
# the hosted backend; every other file on both.
function(talvio_library name)
    cmake_parse_arguments(L "" "" "DIRS;LIBS;WIN32_LIBS" ${ARGN})
    if(NOT L_DIRS)
        set(L_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
    endif()
    set(sources)
    foreach(dir IN LISTS L_DIRS)
        file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "_hosted\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
    endif()
    add_library(talvio_${name} STATIC ${sources})
    target_link_libraries(talvio_${name} PUBLIC ${L_LIBS})
    if(WIN32 AND L_WIN32_LIBS)
        target_link_libraries(talvio_${name} PUBLIC ${L_WIN32_LIBS})
    endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Generators.cmake)

# Every subsystem folder that holds code. Each one's CMakeLists.txt calls
# talvio_library(); the order does not matter to CMake.
set(TALVIO_SUBSYSTEMS
    platform
    foundation
    tools/lcdgen
    handset_ui
    handset_ui/call
    handset_ui/screen
    handset
    tools/handset_sim
    directory
    settings
    ui
    app
    connectors
    tools/client_sim
    audio
    tools/tonegen
    update
    tray
    resources
    tools/scenario
)
foreach(dir IN LISTS TALVIO_SUBSYSTEMS)
    add_subdirectory(${dir})
endforeach()

# Deliverables (Windows only).
if(WIN32)
    foreach(dir IN ITEMS lib/closo tools/sonvar installer)
        if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endif()
