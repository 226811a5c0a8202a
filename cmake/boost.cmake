# Boost smart pointers are header-only. The cross-compilers see only the boost/ folder, never the
# whole of /usr/include.
if(NOT EXISTS /usr/include/boost/shared_ptr.hpp)
    message(FATAL_ERROR "Boost headers not found (package libboost-dev)")
endif()
add_library(boost_headers INTERFACE)
if(CMAKE_CROSSCOMPILING)
    set(dir ${CMAKE_BINARY_DIR}/boost-include)
    if(NOT EXISTS ${dir}/boost)
        file(MAKE_DIRECTORY ${dir})
        file(CREATE_LINK /usr/include/boost ${dir}/boost SYMBOLIC)
    endif()
    target_include_directories(boost_headers SYSTEM INTERFACE ${dir})
endif()
