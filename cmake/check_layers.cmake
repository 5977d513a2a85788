# Fails when a file includes a header of a module it may not use.
#
#   cmake -DROOT=<source tree> -P cmake/check_layers.cmake
#
# The linker only sees what is compiled, so a header-only dependency that points
# up or sideways (strip/ including an app/ header) would build and link. This
# check reads the module list of ROOT/CMakeLists.txt (vistarail_module calls:
# name, DIR, DEPENDS) and holds every quoted include under src/ and tests/ to
# it:
#   - a file of src/ belongs to the module whose folder is the longest prefix
#     of its path, and may include its own module and what that module may use,
#     transitively; files of no module (src/main, the entry points) may include
#     anything;
#   - a file of tests/ belongs to the module it mirrors and may also include
#     the simulator (platform/sim), which is what the tests run on;
#   - an include without a folder ("world_fixture.h") is a neighbour, always
#     allowed; one whose folder is no module (a helper of tests/) is skipped.
cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source tree> -P check_layers.cmake")
endif()

file(READ ${ROOT}/CMakeLists.txt top)
string(REGEX MATCHALL "vistarail_module\\([^)]*\\)" calls "${top}")
set(modules "")
foreach(call ${calls})
  string(REGEX REPLACE "^vistarail_module\\(|\\)$" "" args "${call}")
  string(REGEX REPLACE "[ \t\r\n]+" ";" args "${args}")
  list(POP_FRONT args name)
  set(dir ${name})
  set(deps "")
  set(mode "")
  foreach(arg ${args})
    if(arg MATCHES "^(DIR|DEPENDS|SUBDIRS)$")
      set(mode ${arg})
    elseif(mode STREQUAL "DIR")
      set(dir ${arg})
    elseif(mode STREQUAL "DEPENDS" AND NOT arg MATCHES "::")
      list(APPEND deps ${arg})
    endif()
  endforeach()
  list(APPEND modules ${name})
  set(dir_${name} ${dir})
  set(deps_${name} ${deps})
endforeach()
if(NOT modules)
  message(FATAL_ERROR "no vistarail_module calls found in ${ROOT}/CMakeLists.txt")
endif()

# What each module may include: itself and its dependencies, transitively.
foreach(name ${modules})
  set(reach ${name})
  set(todo ${deps_${name}})
  while(todo)
    list(POP_FRONT todo dep)
    if(NOT dep IN_LIST reach)
      list(APPEND reach ${dep})
      list(APPEND todo ${deps_${dep}})
    endif()
  endwhile()
  set(reach_${name} ${reach})
endforeach()

# The module whose folder is the longest prefix of a path, or "" for none.
function(owner_of path out)
  set(best "")
  set(bestLength 0)
  foreach(name ${modules})
    set(dir ${dir_${name}})
    string(LENGTH "${dir}" length)
    string(FIND "${path}/" "${dir}/" at)
    if(at EQUAL 0 AND length GREATER bestLength)
      set(best ${name})
      set(bestLength ${length})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(problems "")
foreach(area src tests)
  file(GLOB_RECURSE files RELATIVE ${ROOT}/${area} ${ROOT}/${area}/*.h ${ROOT}/${area}/*.cpp)
  foreach(file ${files})
    get_filename_component(folder ${file} DIRECTORY)
    owner_of("${folder}" owner)
    if(owner STREQUAL "")
      continue()
    endif()
    set(allowed ${reach_${owner}})
    if(area STREQUAL "tests")
      list(APPEND allowed ${reach_platform_sim})
    endif()
    file(STRINGS ${ROOT}/${area}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
      get_filename_component(includedFolder "${included}" DIRECTORY)
      if(includedFolder STREQUAL "")
        continue()
      endif()
      owner_of("${includedFolder}" target)
      if(target STREQUAL "" OR target IN_LIST allowed)
        continue()
      endif()
      list(APPEND problems "${area}/${file}: includes \"${included}\" (${target}), which ${owner} may not use")
    endforeach()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Includes against the dependency list of CMakeLists.txt:\n  ${text}")
endif()
message(STATUS "Every include follows the dependency list of CMakeLists.txt")
