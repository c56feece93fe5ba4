# SPDX-License-Identifier: MIT
# cpack runs this after it made the packages (CPACK_POST_BUILD_SCRIPTS). It
# dates every file SOURCE_DATE_EPOCH (dist/package_layout.cmake sets it), but
# its tarballs list the files in whatever order the folder gives, owned by
# whoever built them, and both they and its Debian packages keep the modes
# the umask left. So each package is packed again from its files: in name
# order, owned by root, 644 or 755, every date the sources' date; a tarball
# by tar and gzip without name or time, a Debian package by dpkg-deb.
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.tar\\.gz$")
    set(unpack tar -xzf ${package} -C)
  elseif(package MATCHES "\\.deb$")
    set(unpack dpkg-deb --raw-extract ${package})
  else()
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  file(MAKE_DIRECTORY ${tree})
  execute_process(COMMAND ${unpack} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND chmod -R u+w,go-w,a+rX ${tree} COMMAND_ERROR_IS_FATAL ANY)
  if(package MATCHES "\\.deb$")
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${package}
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  else()
    file(GLOB top RELATIVE ${tree} ${tree}/*)
    execute_process(
      COMMAND tar -C ${tree} --sort=name --format=gnu --owner=root:0 --group=root:0
              --mtime=@$ENV{SOURCE_DATE_EPOCH} -cf - ${top}
      COMMAND gzip -9 -n
      OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
