# lld links the test programs, each tens of megabytes of debug information,
# several times faster than the default linker.
if(NOT APPLE)
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld VISTARAIL_HAVE_LLD)
  if(VISTARAIL_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endif()

# The .cpp files of a folder and of the subfolders named, so that a module
# split by concern still lists its folders, and a nested folder that is a
# module of its own (platform/sim/renderer) stays out of its parent.
function(vistarail_glob out root dir)
  set(patterns ${root}/${dir}/*.cpp)
  foreach(sub ${ARGN})
    list(APPEND patterns ${root}/${dir}/${sub}/*.cpp)
  endforeach()
  file(GLOB found CONFIGURE_DEPENDS ${patterns})
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Precompiled headers. Nearly every file includes the same dozen standard
# headers and every test includes gtest; parsing them took two seconds or more
# of each file's compile, paid again in every build of CI. Two small targets
# own one precompiled header each (one for the program's code, one for tests,
# which add gtest and gmock) and every module and test program reuses it, so
# each is built once per build folder. nlohmann/json stays out: its header
# makes every file that includes it emit code, which a file that does not use
# it would then pay for. Files still include what they use; the release preset
# builds without (VISTARAIL_PCH=OFF), so a forgotten include shows there.
option(VISTARAIL_PCH "Use precompiled headers for the standard and test headers" ON)
set(vistarail_pch_headers
    <algorithm> <cmath> <cstdint> <functional> <map> <memory> <mutex> <optional> <set>
    <sstream> <string> <string_view> <unordered_map> <unordered_set> <utility> <variant>
    <vector>)

# kind: src or tests.
function(vistarail_pch_owner kind)
  set(empty ${PROJECT_BINARY_DIR}/pch/${kind}.cpp)
  file(CONFIGURE OUTPUT ${empty} CONTENT "// Builds the precompiled header the others reuse.\n")
  add_library(vistarail_pch_${kind} OBJECT ${empty})
  set(headers ${vistarail_pch_headers})
  if(kind STREQUAL "tests")
    list(APPEND headers <gtest/gtest.h> <gmock/gmock.h>)
    target_link_libraries(vistarail_pch_${kind} PRIVATE GTest::gtest GTest::gmock)
  endif()
  target_precompile_headers(vistarail_pch_${kind} PRIVATE ${headers})
  # Without it clang writes the header's time into the file and ccache will
  # not cache a compile that uses it.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(vistarail_pch_${kind} PRIVATE -Xclang -fno-pch-timestamp)
  endif()
endfunction()

# Gives a target the precompiled header of its kind (src or tests).
function(vistarail_use_pch target kind)
  if(VISTARAIL_PCH)
    if(NOT TARGET vistarail_pch_${kind})
      vistarail_pch_owner(${kind})
    endif()
    target_precompile_headers(${target} REUSE_FROM vistarail_pch_${kind})
  endif()
endfunction()

# One library per source folder. Sources are globbed so that adding a file
# needs no CMake edit; a folder without .cpp files becomes a header-only
# (INTERFACE) library. DEPENDS names other modules (without the prefix) or
# imported targets; SUBDIRS the subfolders that belong to the module.
function(vistarail_module name)
  cmake_parse_arguments(ARG "" "DIR" "DEPENDS;SUBDIRS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${name})
  endif()
  vistarail_glob(sources ${PROJECT_SOURCE_DIR}/src ${ARG_DIR} ${ARG_SUBDIRS})
  set(target vistarail_${name})
  set(deps "")
  foreach(dep ${ARG_DEPENDS})
    if(TARGET vistarail_${dep})
      list(APPEND deps vistarail_${dep})
    else()
      list(APPEND deps ${dep})
    endif()
  endforeach()
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${deps})
    vistarail_use_pch(${target} src)
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${deps})
  endif()
endfunction()

# One test program per tested folder: tests/<dir>/*.cpp, linked with the
# module under test and whatever the tests also need (the simulator, usually).
function(vistarail_tests name)
  cmake_parse_arguments(ARG "" "DIR" "DEPENDS;SUBDIRS" ${ARGN})
  if(NOT ARG_DIR)
    set(ARG_DIR ${name})
  endif()
  vistarail_glob(sources ${PROJECT_SOURCE_DIR}/tests ${ARG_DIR} ${ARG_SUBDIRS})
  if(NOT sources)
    return()
  endif()
  set(target ${name}_tests)
  add_executable(${target} ${sources})
  set(deps "")
  foreach(dep ${ARG_DEPENDS})
    if(TARGET vistarail_${dep})
      list(APPEND deps vistarail_${dep})
    else()
      list(APPEND deps ${dep})
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${deps} GTest::gtest GTest::gmock GTest::gtest_main)
  vistarail_use_pch(${target} tests)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${name})
endfunction()
