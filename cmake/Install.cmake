# Installation and the Debian package.
#
# "cmake --install" puts the self-contained program where the screensaver hosts
# look for their programs, a link to it in bin/ for the full-screen and
# settings modes, XScreenSaver's settings file, the desktop entry MATE's and
# Xfce's screensavers read, and the manual page:
#
#   libexec/xscreensaver/brevonne3d
#   bin/brevonne3d -> ../libexec/xscreensaver/brevonne3d
#   share/xscreensaver/config/brevonne3d.xml
#   share/applications/screensavers/brevonne3d.desktop
#   share/man/man6/brevonne3d.6
#
# "cpack -G DEB" packages the same tree below /usr, with the manual page
# compressed and the copyright and changelog files Debian asks for.

# These rules are for the Linux build (SDL platform) only.
if(DEFINED VELMORA_PLATFORM AND NOT VELMORA_PLATFORM STREQUAL "SDL")
  return()
endif()

set(BREVONNE_VERSION "1.0.0" CACHE STRING "Version of the installed screensaver and its package")
set(BREVONNE_PACKAGE_RELEASE "1" CACHE STRING "Debian revision of the package")
set(BREVONNE_MAINTAINER "Quillmere <brevonne3d@quillmere.example>" CACHE STRING
  "Maintainer field of the Debian package: name <address>")

set(BREVONNE_HACK_DIR "libexec/xscreensaver")
set(BREVONNE_INSTALL_STAGE "${PROJECT_BINARY_DIR}/install")

# Installing does not build: "make install" and "make package" build first,
# and CPack would otherwise build every target, tests and benchmarks
# included, one job at a time.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# Folders the installation creates are 0755. CMake creates them with these
# permissions masked by the umask, so a "sudo make install" from a user with
# umask 077 would leave libexec/xscreensaver unreadable to everyone else,
# the screensaver hosts included: the folders that do not exist yet are noted
# before anything is installed and opened up afterwards. Folders that existed
# keep their permissions.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(CODE [[
  set(BREVONNE_NEW_FOLDERS "")
  foreach(folder bin libexec/xscreensaver share/xscreensaver/config share/applications/screensavers share/man/man6)
    set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${folder}")
    while(NOT EXISTS "${path}" AND NOT path STREQUAL "$ENV{DESTDIR}")
      list(APPEND BREVONNE_NEW_FOLDERS "${path}")
      get_filename_component(path "${path}" DIRECTORY)
    endwhile()
  endforeach()
  list(REMOVE_DUPLICATES BREVONNE_NEW_FOLDERS)
]])

# The program is installed as the generated file it is, not as a target: a
# target's installation may rewrite its RPATH or strip it, and either would
# cut off the island's archive, which the program finds by a trailer at the
# very end of its file. install(PROGRAMS) copies it byte for byte.
install(PROGRAMS "${PROJECT_BINARY_DIR}/app/brevonne3d" DESTINATION "${BREVONNE_HACK_DIR}")

# bin/brevonne3d is a relative link, so the tree can move as a whole. The
# program reads its archive through /proc/self/exe, which names the file the
# link points to.
file(MAKE_DIRECTORY "${BREVONNE_INSTALL_STAGE}/bin")
file(CREATE_LINK "../${BREVONNE_HACK_DIR}/brevonne3d" "${BREVONNE_INSTALL_STAGE}/bin/brevonne3d" SYMBOLIC)
install(FILES "${BREVONNE_INSTALL_STAGE}/bin/brevonne3d" DESTINATION bin)

install(FILES "${PROJECT_SOURCE_DIR}/app/sdl/install/brevonne3d.xml" DESTINATION share/xscreensaver/config)
install(FILES "${PROJECT_SOURCE_DIR}/docs/brevonne3d.6" DESTINATION share/man/man6)

# The desktop entry names the program by its absolute path, so it is written
# when the prefix is known: at installation ("cmake --install --prefix" and
# the package's /usr may differ from the prefix the build was configured
# with). Each destination gets its own copy in the build folder, so two
# installations running at once do not write the same file.
install(CODE "set(BREVONNE_DESKTOP_IN \"${PROJECT_SOURCE_DIR}/app/sdl/install/brevonne3d.desktop.in\")
set(BREVONNE_INSTALL_STAGE \"${BREVONNE_INSTALL_STAGE}\")
set(BREVONNE_HACK_DIR \"${BREVONNE_HACK_DIR}\")")
install(CODE [[
  set(hack "${CMAKE_INSTALL_PREFIX}/${BREVONNE_HACK_DIR}/brevonne3d")
  if(hack MATCHES "[\r\n\t]")
    message(FATAL_ERROR "The installation prefix '${CMAKE_INSTALL_PREFIX}' holds a control character, which a desktop entry cannot name")
  endif()
  # TryExec is a plain string value: only the backslash is escaped.
  string(REPLACE "\\" "\\\\" BREVONNE_HACK_TRYEXEC "${hack}")
  # Exec is a command line: a path with reserved characters is quoted, with
  # '"', '`', '$' and '\' escaped inside the quotes, '%' is doubled (it starts
  # a field code), and then the string value's own escaping applies.
  set(exec "${hack}")
  string(REPLACE "%" "%%" exec "${exec}")
  if(exec MATCHES "[] \"'\\\\><~|&;$*?#()`[]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
  endif()
  string(REPLACE "\\" "\\\\" BREVONNE_HACK_EXEC "${exec}")
  string(MD5 destination "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
  set(entry "${BREVONNE_INSTALL_STAGE}/desktop-${destination}/brevonne3d.desktop")
  configure_file("${BREVONNE_DESKTOP_IN}" "${entry}" @ONLY)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications/screensavers" TYPE FILE FILES "${entry}")
]])

install(CODE [[
  foreach(path IN LISTS BREVONNE_NEW_FOLDERS)
    if(IS_DIRECTORY "${path}")
      file(CHMOD "${path}" PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
    endif()
  endforeach()
]])

# The Debian package.
set(CPACK_GENERATOR DEB)
# Values reach CPack as written (the description holds quotes).
set(CPACK_VERBATIM_VARIABLES TRUE)
set(CPACK_PACKAGE_NAME brevonne3d)
set(CPACK_PACKAGE_VENDOR Quillmere)
set(CPACK_PACKAGE_VERSION "${BREVONNE_VERSION}")
set(CPACK_PACKAGE_CONTACT "${BREVONNE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D tropical island screensaver")
set(CPACK_PACKAGE_DESCRIPTION "A flight over a tropical island: terrain, palm groves, a reflecting sea,
sky, sun glare and the sound of surf, wind and birds, drawn with OpenGL.
The island's data is carried inside the program.

The screensaver runs under XScreenSaver, MATE Screensaver and Xfce
Screensaver, or on its own: full screen with \"brevonne3d /S\", and with a
settings dialog for texture quality, shaders, sound and overlays with
\"brevonne3d /C\".")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Stripping would cut the archive off the program's end, like a rewritten RPATH.
set(CPACK_STRIP_FILES OFF)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE "${BREVONNE_PACKAGE_RELEASE}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver-gl | mate-screensaver | xfce4-screensaver")

# What Debian wants beyond the installed tree, added to the package's staging
# folder before it is packed: the manual page compressed, the copyright file,
# the changelog, and the reason the program is not stripped.
set(BREVONNE_DEB_VERSION "${BREVONNE_VERSION}-${BREVONNE_PACKAGE_RELEASE}")
string(TIMESTAMP BREVONNE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP BREVONNE_COPYRIGHT_YEAR "%Y" UTC)
file(CONFIGURE OUTPUT "${BREVONNE_INSTALL_STAGE}/deb/changelog.Debian" CONTENT
"brevonne3d (@BREVONNE_DEB_VERSION@) unstable; urgency=medium

  * Release @BREVONNE_VERSION@, packaged with CPack.

 -- @BREVONNE_MAINTAINER@  @BREVONNE_CHANGELOG_DATE@
" @ONLY)
file(CONFIGURE OUTPUT "${BREVONNE_INSTALL_STAGE}/deb/copyright" CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Brevonne 3D
Upstream-Contact: @BREVONNE_MAINTAINER@

Files: *
Copyright: @BREVONNE_COPYRIGHT_YEAR@ Quillmere
License: proprietary
 All rights reserved.
" @ONLY)
file(CONFIGURE OUTPUT "${BREVONNE_INSTALL_STAGE}/deb/lintian-overrides" CONTENT
"# The island's data archive is appended to the program and found by a trailer
# at the end of the file; stripping would remove it.
brevonne3d: unstripped-binary-or-object [usr/libexec/xscreensaver/brevonne3d]
# The package is not uploaded to Debian, so its first changelog entry closes
# no request-for-packaging bug.
brevonne3d: initial-upload-closes-no-bugs
" @ONLY)
file(CONFIGURE OUTPUT "${BREVONNE_INSTALL_STAGE}/deb/debian-tree.cmake" CONTENT [[
# Run by CPack in the staging folder of the Debian package.
set(stage "@BREVONNE_INSTALL_STAGE@/deb")
set(share "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share")
if(NOT EXISTS "${share}/man/man6/brevonne3d.6")
  message(FATAL_ERROR "the manual page is missing from ${share}")
endif()
set(doc "${share}/doc/brevonne3d")
file(MAKE_DIRECTORY "${doc}" "${share}/lintian/overrides")
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(COPY_FILE "${stage}/copyright" "${doc}/copyright")
file(COPY_FILE "${stage}/changelog.Debian" "${doc}/changelog.Debian")
file(COPY_FILE "${stage}/lintian-overrides" "${share}/lintian/overrides/brevonne3d")
file(CHMOD "${doc}/copyright" "${doc}/changelog.Debian" "${share}/lintian/overrides/brevonne3d"
  PERMISSIONS ${readable})
# Every folder of the package is 0755, whatever the umask of the build.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/*")
foreach(entry "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}" ${entries})
  if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
    file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
# Debian compresses manual pages and changelogs with gzip -9n (no name, no
# time stamp, so equal files give equal bytes).
foreach(file "${share}/man/man6/brevonne3d.6" "${doc}/changelog.Debian")
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip ${file} failed: ${result}")
  endif()
endforeach()
]] @ONLY)
set(CPACK_PRE_BUILD_SCRIPTS "${BREVONNE_INSTALL_STAGE}/deb/debian-tree.cmake")

include(CPack)
