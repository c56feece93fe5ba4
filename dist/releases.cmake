# SPDX-License-Identifier: MIT
# The game's releases, newest first, are kept in one place, dist/changelog.json:
#
#   {"releases": [{"version": "0.2", "date": "YYYY-MM-DD", "changes": ["...", "..."]}, ...]}
#
# A date may name the time too, "YYYY-MM-DD HH:MM" in UTC (else noon): the
# Debian changelog wants each release later than the one before.
# The newest is the version project() gives, and its date is the release date
# (HVEZDA_RELEASE_DATE). hvezda_changelogs(CONTACT) makes the Debian changelog
# (HVEZDA_DEBIAN_CHANGELOG) and the metainfo's releases (HVEZDA_METAINFO_RELEASES)
# from them.
set(HVEZDA_CHANGELOG ${PROJECT_SOURCE_DIR}/dist/changelog.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${HVEZDA_CHANGELOG})
file(READ ${HVEZDA_CHANGELOG} HVEZDA_CHANGELOG_JSON)
string(JSON newest GET "${HVEZDA_CHANGELOG_JSON}" releases 0 version)
if(NOT newest STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "dist/changelog.json: the newest release is ${newest}, but project() says ${PROJECT_VERSION}")
endif()
string(JSON HVEZDA_RELEASE_DATE GET "${HVEZDA_CHANGELOG_JSON}" releases 0 date)
string(SUBSTRING "${HVEZDA_RELEASE_DATE}" 0 10 HVEZDA_RELEASE_DATE)

function(hvezda_changelogs contact)
  set(debian "")
  set(metainfo "")
  string(JSON count LENGTH "${HVEZDA_CHANGELOG_JSON}" releases)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON version GET "${HVEZDA_CHANGELOG_JSON}" releases ${i} version)
    string(JSON date GET "${HVEZDA_CHANGELOG_JSON}" releases ${i} date)
    string(JSON changes GET "${HVEZDA_CHANGELOG_JSON}" releases ${i} changes)
    # Debian's form of the date and time; the metainfo's is the day.
    if(date MATCHES "^[0-9-]+$")
      string(APPEND date " 12:00")
    endif()
    execute_process(COMMAND date -R -u -d "${date}" OUTPUT_VARIABLE rfc_date
      OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(SUBSTRING "${date}" 0 10 date)
    string(APPEND debian "hvezda (${version}) unstable; urgency=medium\n\n")
    string(APPEND metainfo "    <release version=\"${version}\" date=\"${date}\">\n"
      "      <description>\n        <ul>\n")
    string(JSON changes_count LENGTH "${changes}")
    math(EXPR last_change "${changes_count} - 1")
    foreach(j RANGE ${last_change})
      string(JSON change GET "${changes}" ${j})
      # A line of the Debian changelog holds 80 characters.
      string(LENGTH "${change}" length)
      if(length GREATER 76)
        message(FATAL_ERROR "dist/changelog.json: ${version}: a change of ${length} characters; "
          "76 at most, so that it fits a line: split it in two")
      endif()
      string(APPEND debian "  * ${change}\n")
      string(REPLACE "&" "&amp;" change "${change}")
      string(REPLACE "<" "&lt;" change "${change}")
      string(REPLACE ">" "&gt;" change "${change}")
      string(APPEND metainfo "          <li>${change}</li>\n")
    endforeach()
    string(APPEND debian "\n -- ${contact}  ${rfc_date}\n")
    if(i LESS last)
      string(APPEND debian "\n")
    endif()
    string(APPEND metainfo "        </ul>\n      </description>\n    </release>\n")
  endforeach()
  set(HVEZDA_DEBIAN_CHANGELOG "${debian}" PARENT_SCOPE)
  string(STRIP "${metainfo}" metainfo)
  set(HVEZDA_METAINFO_RELEASES "${metainfo}" PARENT_SCOPE)
endfunction()
