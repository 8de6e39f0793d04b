# Programs that make sources at build time run on the build machine, so a
# cross build compiles them with the build machine's own compiler. In every
# preset they are built without sanitizer or fuzzer instrumentation: the
# build needs their output, not their checks, and an instrumented library
# does not link into them.
#
# talvio_generator(<name> MAIN <main.cpp> SOURCES <files...>)
# <name> is MAIN and SOURCES (the sources of the library the tests use)
# compiled on their own. Sets <name>_COMMAND to the program to run.
function(talvio_generator name)
    cmake_parse_arguments(G "" "MAIN" "SOURCES" ${ARGN})
    if(CMAKE_CROSSCOMPILING)
        find_program(TALVIO_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
        set(command ${CMAKE_CURRENT_BINARY_DIR}/${name}-host)
        set(sources ${G_SOURCES} ${G_MAIN})
        list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
        file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
        add_custom_command(OUTPUT ${command}
            COMMAND ${TALVIO_HOST_CXX} -std=c++20 -O2 -I${CMAKE_SOURCE_DIR} ${sources} -o ${command}
            DEPENDS ${sources} ${headers}
            COMMENT "Building ${name} for the build machine")
    else()
        add_executable(${name} ${G_MAIN} ${G_SOURCES})
        foreach(property COMPILE_OPTIONS LINK_OPTIONS)
            get_target_property(options ${name} ${property})
            if(options)
                list(FILTER options EXCLUDE REGEX "^-f(no-)?sanitize")
                set_property(TARGET ${name} PROPERTY ${property} ${options})
            endif()
        endforeach()
        set(command $<TARGET_FILE:${name}>)
    endif()
    set(${name}_COMMAND ${command} PARENT_SCOPE)
endfunction()

# talvio_driver_resources(<variable> <script> <target>): compiles the
# resource script that <target> generates into TalvioDriver.exe and its test
# build, and names it in the cache <variable> for the tests that compile it
# too.
function(talvio_driver_resources variable script target)
    set(${variable} ${script} CACHE INTERNAL "")
    if(WIN32)
        set_source_files_properties(${script} DIRECTORY ${CMAKE_SOURCE_DIR}/app
                                    PROPERTIES GENERATED TRUE)
        foreach(driver IN LISTS TALVIO_DRIVER_EXECUTABLES)
            target_sources(${driver} PRIVATE ${script})
            add_dependencies(${driver} ${target})
        endforeach()
    endif()
endfunction()
