# Fails when a source file of the settlement core or the tallies includes a Qt header:
# those folders must build with the standard library alone.
foreach(dir IN LISTS DIRS)
  file(GLOB_RECURSE sources "${dir}/*.cpp" "${dir}/*.hpp" "${dir}/*.h")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
    if(hits)
      message(SEND_ERROR "${source} includes Qt: ${hits}")
    endif()
  endforeach()
endforeach()
