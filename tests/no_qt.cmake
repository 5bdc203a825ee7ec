# Fails when a source file of the settlement core, the tallies or the window tables includes a
# Qt or a Windows header: those folders must build with the standard library alone.
foreach(dir IN LISTS DIRS)
  file(GLOB_RECURSE sources "${dir}/*.cpp" "${dir}/*.hpp" "${dir}/*.h")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt|[Ww]indows\\.h)")
    if(hits)
      message(SEND_ERROR "${source} includes a toolkit header: ${hits}")
    endif()
  endforeach()
endforeach()
