# SPDX-License-Identifier: MIT
# Copies SRC to DST when SRC exists; a build without the music still runs.
if(EXISTS ${SRC})
  file(COPY_FILE ${SRC} ${DST} ONLY_IF_DIFFERENT)
endif()
