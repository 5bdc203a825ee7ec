# Optional parts of the build (tests, end-to-end tests, benchmarks, fuzz targets, package
# check). Each has a switch: AUTO, the default, builds the part when what it needs is found;
# ON builds it or stops configuring; OFF leaves it out. A part left out says so in one line
# that names what is missing and the Debian package that brings it.

# pelmora_part_switch(<switch> <part>): declares the switch of a part, AUTO by default.
function(pelmora_part_switch switch part)
  set(${switch} AUTO CACHE STRING "Build ${part}: AUTO (when what they need is found), ON or OFF")
  set_property(CACHE ${switch} PROPERTY STRINGS AUTO ON OFF)
endfunction()

# pelmora_part(<switch> <part> [<found> "<what> (Debian package <name>)"]...)
# Decides whether <part> is built from the value of <switch> and the variables <found>, one for
# each thing the part needs; sets <switch>_ENABLED in the caller.
function(pelmora_part switch part)
  set(lacks)
  set(needs ${ARGN})
  while(needs)
    list(POP_FRONT needs found what)
    if(NOT ${found})
      list(APPEND lacks "${what}")
    endif()
  endwhile()
  list(JOIN lacks ", " lacks)

  set(enabled FALSE)
  string(TOUPPER "${${switch}}" asked)
  if(asked STREQUAL "AUTO" OR asked STREQUAL "")
    if(lacks)
      message(STATUS "Skipping ${part} (${switch}): not found: ${lacks}")
    else()
      set(enabled TRUE)
    endif()
  elseif(${switch})
    if(lacks)
      message(FATAL_ERROR "Cannot build ${part} (${switch}=${${switch}}): not found: ${lacks}")
    endif()
    set(enabled TRUE)
  else()
    message(STATUS "Skipping ${part} (${switch}=${${switch}})")
  endif()
  set(${switch}_ENABLED ${enabled} PARENT_SCOPE)
endfunction()

# pelmora_testing_switch(): the tests follow the standard BUILD_TESTING switch of CTest. Left at
# its default (on), they are built when Qt 6 Test is found; switched on by name, they must be.
# Leaves BUILD_TESTING true exactly when the tests are built. Called from the top folder.
macro(pelmora_testing_switch)
  if(NOT DEFINED BUILD_TESTING)
    set(PELMORA_TESTING_BY_DEFAULT ON CACHE INTERNAL "BUILD_TESTING was left at its default")
  endif()
  include(CTest)
  if(BUILD_TESTING)
    find_package(Qt6 6.4 QUIET COMPONENTS Test)
    if(PELMORA_TESTING_BY_DEFAULT)
      set(BUILD_TESTING AUTO)
    endif()
  endif()
  pelmora_part(BUILD_TESTING "the tests" Qt6Test_FOUND "Qt 6 Test (Debian package qt6-base-dev)")
  set(BUILD_TESTING ${BUILD_TESTING_ENABLED})
endmacro()
