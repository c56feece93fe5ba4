# SPDX-License-Identifier: MIT
# Where a cross build finds the libraries its script built: VAR given with -D,
# else from the environment, else ~/.cache/hvezda/NAME (as the scripts that
# fill it default to). Try-compiles read the toolchain file again and need
# the same prefix.
macro(hvezda_cache_prefix var name)
  if(NOT ${var})
    if(DEFINED ENV{${var}})
      set(${var} "$ENV{${var}}")
    else()
      set(${var} "$ENV{HOME}/.cache/hvezda/${name}")
    endif()
  endif()
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${var})
endmacro()
