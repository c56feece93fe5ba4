# SPDX-License-Identifier: MIT
# The programs are built hardened, as distributions build theirs (on Linux the
# flags of Debian's `dpkg-buildflags` with hardening=+all; `hardening-check`
# tests them). The flags go in front of the packager's CXXFLAGS and LDFLAGS,
# never after: where a packager chooses otherwise (-fno-stack-protector,
# _FORTIFY_SOURCE=3, -Wl,-z,lazy) the packager's choice is the one in force.
option(HVEZDA_HARDEN "Build hardened programs: stack protector, fortified calls, PIE, full RELRO; ASLR and DEP on Windows" ON)
# A browser runs WebAssembly in a sandbox of its own: no stack to smash into
# code, no addresses to randomise, and emscripten's C library has no stack
# protector to link.
if(NOT HVEZDA_HARDEN OR EMSCRIPTEN)
  return()
endif()
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)

set(compile -fstack-protector-strong)
set(link "")
if(WIN32)
  # ASLR with high entropy and DEP: the DllCharacteristics of the .exe files.
  list(APPEND link -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
else()
  list(APPEND compile -Wformat -Werror=format-security)
  # Not every target has these (-fcf-protection is x86's).
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "HVEZDA_HAS${flag}" has)
    check_cxx_compiler_flag(${flag} ${has})
    if(${has})
      list(APPEND compile ${flag})
    endif()
  endforeach()
  # Fortified calls need optimisation, and are left alone when the packager's
  # flags or the compiler itself already chose a level (the check compiles
  # with the packager's flags). ASan checks those calls in its own way: not
  # in a sanitized build.
  string(TOUPPER "${CMAKE_BUILD_TYPE}" type)
  set(CMAKE_REQUIRED_FLAGS -O2)
  check_cxx_source_compiles("#ifdef _FORTIFY_SOURCE\n#error\n#endif\nint main() {}" HVEZDA_NO_DEFAULT_FORTIFY)
  if("${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${type}}" MATCHES "-O[^0]" AND HVEZDA_NO_DEFAULT_FORTIFY
     AND NOT HVEZDA_SANITIZE)
    list(APPEND compile -D_FORTIFY_SOURCE=2)
  endif()
  list(APPEND link -Wl,-z,relro -Wl,-z,now)
  # PIE: static libraries too are compiled for a position-independent
  # program, not as -fPIC (CMake's POSITION_INDEPENDENT_CODE), which keeps
  # the compiler from inlining their functions. Shared libraries get -fPIC
  # from CMake after this.
  list(APPEND compile -fPIE)
  set(CMAKE_EXE_LINKER_FLAGS "-pie ${CMAKE_EXE_LINKER_FLAGS}")
endif()

string(JOIN " " compile ${compile})
string(JOIN " " link ${link})
string(STRIP "${compile} ${CMAKE_CXX_FLAGS}" CMAKE_CXX_FLAGS)
foreach(kind EXE SHARED MODULE)
  string(STRIP "${link} ${CMAKE_${kind}_LINKER_FLAGS}" CMAKE_${kind}_LINKER_FLAGS)
endforeach()
