# Compiler settings shared by every target, and the helpers that define libraries and tests.

# Asserts are part of the libraries' contract: keep them in every build type.
foreach(lang C CXX)
    foreach(cfg RELEASE RELWITHDEBINFO MINSIZEREL)
        string(REGEX REPLACE "(^| )[-/]DNDEBUG( |$)" " " CMAKE_${lang}_FLAGS_${cfg} "${CMAKE_${lang}_FLAGS_${cfg}}")
    endforeach()
endforeach()

add_compile_options(-Wall -Wextra -Werror)

# A link dependency that names no target (a misspelt or missing library) fails the configuration
# instead of turning into a "-l" flag that the linker may or may not resolve.
set(CMAKE_LINK_LIBRARIES_ONLY_TARGETS ON)

if(TULVAR_SANITIZE)
    add_compile_options(-fsanitize=${TULVAR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${TULVAR_SANITIZE})
endif()

set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
set(CMAKE_INCLUDE_CURRENT_DIR ON)

# tulvar_add_library(<target> <folder-relative-sources...> LIBS <deps...>)
# Every subsystem folder is one library; its headers are included as "<folder>/<File>.h"
# from the repository root.
function(tulvar_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
endfunction()

# tulvar_add_tests(LIBS <deps...> [SOURCES <extra sources>] [LABELS <labels>])
# Makes one test executable of every tst_*.cpp in the calling folder, linked with the shared
# fixtures (tests/testkit, included as "testkit/<File>.h"). Each test runs offscreen with a
# private, empty home and configuration folder.
function(tulvar_add_tests)
    cmake_parse_arguments(ARG "" "" "LIBS;SOURCES;LABELS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
    string(REPLACE "/" "_" prefix "${folder}")
    foreach(source IN LISTS tests)
        get_filename_component(name ${source} NAME_WE)
        set(target ${prefix}_${name})
        add_executable(${target} ${source} ${ARG_SOURCES})
        target_link_libraries(${target} PRIVATE ${ARG_LIBS} tulvar_testkit Qt5::Test)
        set(home ${CMAKE_BINARY_DIR}/test-home/${target})
        add_test(NAME ${folder}/${name} COMMAND ${target})
        set_tests_properties(${folder}/${name} PROPERTIES
            LABELS "${folder};${ARG_LABELS}"
            TIMEOUT 300
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_RUNTIME_DIR=${home}/run;TULVAR_MIDI_BACKEND=loopback")
        file(MAKE_DIRECTORY ${home}/.config ${home}/run)
    endforeach()
endfunction()

# tulvar_folder_library(<target> LIBS <deps...>)
# The library of one subsystem folder: every .c/.cpp/.h/.qrc directly in the calling folder.
function(tulvar_folder_library target)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.c ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    tulvar_add_library(${target} SOURCES ${sources} LIBS ${ARG_LIBS})
endfunction()
