# Release documents derived from the files at the top of the repository, so that each fact is
# written once: the release date of this version (for the AppStream file) and the Debian
# changelog come from CHANGELOG.md, the Debian copyright file from LICENSE. Configuring stops
# when CHANGELOG.md has no entry for the version set in project().
#
# Sets PELMORA_RELEASE_DATE, and PELMORA_RELEASES to the AppStream release list (newest first),
# and writes debian/changelog.gz and debian/copyright in the build folder of the caller.

set(changelog_md ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set(license ${PROJECT_SOURCE_DIR}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog_md} ${license})
set(debian ${CMAKE_CURRENT_BINARY_DIR}/debian)
file(MAKE_DIRECTORY ${debian})

# The date in the form Debian changelogs use: "Mon, 07 Dec 2026 12:00:00 +0000". The weekday
# comes from Sakamoto's formula; noon keeps the day whatever the reader's time zone.
function(pelmora_rfc2822_date year month day out)
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR i "${month} - 1")
  list(GET offsets ${i} offset)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
  set(day_names Sun Mon Tue Wed Thu Fri Sat)
  set(month_names Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET day_names ${weekday} day_name)
  list(GET month_names ${i} month_name)
  set(${out} "${day_name}, ${day} ${month_name} ${year} 12:00:00 +0000" PARENT_SCOPE)
endfunction()

# Each release "## [version] - yyyy-mm-dd" becomes an entry of the Debian changelog, its items
# "- ..." become "  * ...", and their continuation lines follow, indented. The file is read line
# by line without CMake lists, so that ";" and "[" in the text stay as they are.
file(READ ${changelog_md} text)
string(APPEND text "\n## end\n")
set(entries "")
set(entry "")
set(PELMORA_RELEASE_DATE "")
set(PELMORA_RELEASES "")
while(NOT text STREQUAL "")
  string(FIND "${text}" "\n" end)
  string(SUBSTRING "${text}" 0 ${end} line)
  math(EXPR end "${end} + 1")
  string(SUBSTRING "${text}" ${end} -1 text)

  if(line MATCHES "^## ")
    if(NOT entry STREQUAL "")
      string(APPEND entries "${entry}\n -- ${CPACK_PACKAGE_CONTACT}  ${entry_date}\n\n")
      set(entry "")
    endif()
    if(line MATCHES "^## \\[([^]]+)\\] - ([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
      set(version ${CMAKE_MATCH_1})
      set(date "${CMAKE_MATCH_2}-${CMAKE_MATCH_3}-${CMAKE_MATCH_4}")
      if(version STREQUAL PROJECT_VERSION)
        set(PELMORA_RELEASE_DATE ${date})
      endif()
      if(NOT PELMORA_RELEASES STREQUAL "")
        string(APPEND PELMORA_RELEASES "\n    ")
      endif()
      string(APPEND PELMORA_RELEASES "<release version=\"${version}\" date=\"${date}\"/>")
      pelmora_rfc2822_date(${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} entry_date)
      set(entry "${CPACK_PACKAGE_NAME} (${version}) unstable; urgency=medium\n\n")
    endif()
  elseif(NOT entry STREQUAL "")
    if(line MATCHES "^- (.*)")
      string(APPEND entry "  * ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^  +(.*)")
      string(APPEND entry "    ${CMAKE_MATCH_1}\n")
    endif()
  endif()
endwhile()
if(PELMORA_RELEASE_DATE STREQUAL "")
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## [${PROJECT_VERSION}] - yyyy-mm-dd\" for "
                      "the version set in project()")
endif()
string(REGEX REPLACE "\n+$" "\n" entries "${entries}")
file(WRITE ${debian}/changelog "${entries}")
# Debian wants it compressed as far as gzip goes and without a time stamp in the header.
execute_process(COMMAND gzip -9 -n -c ${debian}/changelog
                OUTPUT_FILE ${debian}/changelog.gz
                COMMAND_ERROR_IS_FATAL ANY)

# The copyright file in Debian's machine-readable format: the copyright line of LICENSE, and
# its licence text from the grant on, each line indented by a space and each empty line written " .".
file(READ ${license} text)
string(FIND "${text}" "Permission is hereby granted" grant)
if(grant EQUAL -1 OR NOT text MATCHES "\nCopyright \\(c\\) ([^\n]+)")
  message(FATAL_ERROR "LICENSE does not hold the MIT licence text with its copyright line")
endif()
set(holders "${CMAKE_MATCH_1}")
string(SUBSTRING "${text}" ${grant} -1 grant_text)
string(REGEX REPLACE "\n+$" "" grant_text "${grant_text}")
string(REPLACE "\n\n" "\n.\n" grant_text "${grant_text}")
string(REPLACE "\n" "\n " grant_text "${grant_text}")
file(WRITE ${debian}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Pelmora

Files: *
Copyright: ${holders}
License: Expat
 ${grant_text}
")
