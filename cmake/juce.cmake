# JUCE 7 modules from Debian's juce-modules-source-data, compiled from source for each target.
# For Windows, juce_core and juce_events are compiled from copies patched at configure time with
# third_party/juce/*.patch (the named pipe and the interprocess connection).
set(JUCE_MODULES_DIR /usr/share/juce/modules CACHE PATH "Debian's JUCE module sources")
if(NOT EXISTS ${JUCE_MODULES_DIR}/juce_core/juce_core.h)
    message(FATAL_ERROR "JUCE modules not found in ${JUCE_MODULES_DIR} (package juce-modules-source-data)")
endif()

set(JUCE_CONFIG_DEFINITIONS
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=0
    JUCE_MODULE_AVAILABLE_juce_core=1
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_INCLUDE_ZLIB_CODE=0
    $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>)

# Windows builds compile juce_core and juce_events from copies patched with third_party/juce;
# natively only juce_core is used, unpatched (the pipe link is Windows behaviour here).
set(JUCE_SOURCE_DIR ${JUCE_MODULES_DIR})
if(WIN32)
    set(JUCE_PATCHED_DIR ${CMAKE_BINARY_DIR}/juce-patched)
    file(GLOB JUCE_PATCHES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/third_party/juce/*.patch)
    list(SORT JUCE_PATCHES)
    set(patch_stamp "")
    foreach(p ${JUCE_PATCHES})
        file(SHA256 ${p} h)
        string(APPEND patch_stamp "${h}\n")
    endforeach()
    set(stamp_file ${JUCE_PATCHED_DIR}/.patches)
    set(old_stamp "")
    if(EXISTS ${stamp_file})
        file(READ ${stamp_file} old_stamp)
    endif()
    if(NOT old_stamp STREQUAL patch_stamp OR NOT EXISTS ${JUCE_PATCHED_DIR}/juce_events)
        file(REMOVE_RECURSE ${JUCE_PATCHED_DIR})
        file(MAKE_DIRECTORY ${JUCE_PATCHED_DIR})
        file(COPY ${JUCE_MODULES_DIR}/juce_core ${JUCE_MODULES_DIR}/juce_events
            DESTINATION ${JUCE_PATCHED_DIR})
        foreach(p ${JUCE_PATCHES})
            execute_process(COMMAND patch -p1 --forward --batch --silent -i ${p}
                WORKING_DIRECTORY ${JUCE_PATCHED_DIR}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
            if(NOT rc EQUAL 0)
                file(REMOVE_RECURSE ${JUCE_PATCHED_DIR})
                message(FATAL_ERROR "JUCE patch ${p} no longer applies to ${JUCE_MODULES_DIR}:\n${out}")
            endif()
            message(STATUS "Applied ${p}")
        endforeach()
        file(WRITE ${stamp_file} "${patch_stamp}")
    endif()
    set(JUCE_SOURCE_DIR ${JUCE_PATCHED_DIR})
endif()

add_library(juce_core_module STATIC ${JUCE_SOURCE_DIR}/juce_core/juce_core.cpp)
target_include_directories(juce_core_module SYSTEM PUBLIC ${JUCE_SOURCE_DIR})
target_compile_definitions(juce_core_module PUBLIC ${JUCE_CONFIG_DEFINITIONS})
target_compile_options(juce_core_module PRIVATE -w)
if(WIN32)
    target_link_libraries(juce_core_module PUBLIC z ws2_32 wininet version shlwapi winmm ole32
        oleaut32 uuid rpcrt4 imm32 shell32 user32 advapi32 kernel32)
else()
    find_package(Threads REQUIRED)
    find_package(ZLIB REQUIRED)
    target_link_libraries(juce_core_module PUBLIC Threads::Threads ZLIB::ZLIB ${CMAKE_DL_LIBS} rt)
endif()

if(WIN32)
    add_library(juce_events_module STATIC ${JUCE_PATCHED_DIR}/juce_events/juce_events.cpp)
    target_compile_definitions(juce_events_module PUBLIC JUCE_MODULE_AVAILABLE_juce_events=1)
    target_compile_options(juce_events_module PRIVATE -w)
    target_link_libraries(juce_events_module PUBLIC juce_core_module)
endif()
