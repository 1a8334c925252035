# Programs for the build machine that write files the build needs, built with
# the machine's own compiler also when the program is cross-built (MinGW,
# Emscripten), in the project's standard and with its warnings.
find_program(POROTEN_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)

# poroten_host_tool(NAME SOURCES <files...> [LIBS <libraries...>]): the tool's
# path in <NAME>_PROGRAM; LIBS are the build machine's own, linked as -l<name>.
function(poroten_host_tool name)
    cmake_parse_arguments(TOOL "" "" "SOURCES;LIBS" ${ARGN})
    set(flags -std=c++20 -O1 -Wall -Wextra -Wpedantic)
    if(POROTEN_WERROR)
        list(APPEND flags -Werror)
    endif()
    set(program ${CMAKE_BINARY_DIR}/tools/${name})
    set(implicit)
    foreach(source IN LISTS TOOL_SOURCES)
        list(APPEND implicit CXX ${source})
    endforeach()
    set(libs)
    foreach(lib IN LISTS TOOL_LIBS)
        list(APPEND libs -l${lib})
    endforeach()
    add_custom_command(
        OUTPUT ${program}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
        COMMAND ${POROTEN_HOST_CXX} ${flags} -I${PROJECT_SOURCE_DIR} ${TOOL_SOURCES} -o ${program}
                ${libs}
        DEPENDS ${TOOL_SOURCES}
        IMPLICIT_DEPENDS ${implicit}
        COMMENT "The build machine's ${name}")
    set(${name}_PROGRAM ${program} PARENT_SCOPE)
endfunction()
