# GoogleTest built from Debian's sources, so that the same version serves
# the native and the cross build.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# GCC 12 reports a false -Wrestrict inside GoogleTest's own sources at -O3.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(gtest PRIVATE -Wno-restrict)
endif()
