# Runs the program with each command line of the table, with no display in reach, and checks
# its exit status, standard output and standard error. None of these may open a window: one
# that tried would fail for want of a display, or hang until the time-out.
#   cmake -DPROGRAM=<pelmora> -DVERSION=<version> -P command_line.cmake

set(usage "Usage: [^\n]*pelmora \\[options\\]\n.*-h, --help .*-v, --version ")

function(check arguments status out err)
  separate_arguments(argv UNIX_COMMAND "${arguments}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            ${PROGRAM} ${argv}
    TIMEOUT 20
    RESULT_VARIABLE got_status OUTPUT_VARIABLE got_out ERROR_VARIABLE got_err)
  if(NOT got_status STREQUAL status OR NOT got_out MATCHES "${out}" OR NOT got_err MATCHES "${err}")
    message(SEND_ERROR "pelmora ${arguments}\n"
                       "status ${got_status}, expected ${status}\n"
                       "standard output:\n${got_out}\n"
                       "standard error:\n${got_err}")
  endif()
endfunction()

#     arguments                 status  standard output            standard error
check("--version"               0       "^Pelmora ${VERSION}\n$"   "^$")
check("-v"                      0       "^Pelmora ${VERSION}\n$"   "^$")
check("--help"                  0       "^${usage}"                "^$")
check("-h"                      0       "^${usage}"                "^$")
# Options of Qt itself pass through to it.
check("-style fusion --version" 0       "^Pelmora ${VERSION}\n$"   "^$")
check("--bogus"                 2       "^$"    "^pelmora: Unknown option 'bogus'\\.\n${usage}")
check("-x"                      2       "^$"    "^pelmora: Unknown option 'x'\\.\n${usage}")
check("--version --bogus"       2       "^$"    "^pelmora: Unknown option 'bogus'\\.\n${usage}")
check("--version=1"             2       "^$"    "^pelmora: [^\n]*'--version'[^\n]*\n${usage}")
check("loot.txt"                2       "^$"    "^pelmora: Unexpected argument 'loot.txt'\\.\n${usage}")
