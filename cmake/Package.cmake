# The Debian package: the install tree (executable, translations/, data/ as a link to the
# deployment files in /etc/orblive) in one folder under /opt, plus the desktop integration in the "desktop" component. That component uses
# absolute destinations, so it is left out of a plain `cmake --install` (scripts/run installs
# into ./install) and only the package, which lists it below, takes it.
set(ORB_PACKAGE_DIR /opt/orblive)
set(ORB_PACKAGE_MAINTAINER "orblive developers <orblive@kelvarin.example>"
    CACHE STRING "Maintainer named in the package and its changelog")
# The date of this version; the changelog, the manual page and the AppStream release carry it.
set(ORB_RELEASE_DATE 2026-12-07)
set(ORB_RELEASE_DATE_RFC "Mon, 07 Dec 2026 00:00:00 +0000")
set(ORB_APP_ID com.kelvarin.orblive)

set(_src ${PROJECT_SOURCE_DIR}/resources/desktop)
set(_out ${CMAKE_BINARY_DIR}/desktop)
configure_file(${_src}/orblive.in ${_out}/bin/orblive @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
configure_file(${_src}/${ORB_APP_ID}.metainfo.xml.in ${_out}/${ORB_APP_ID}.metainfo.xml @ONLY)
configure_file(${_src}/changelog.in ${_out}/changelog @ONLY)
configure_file(${_src}/orblive.1.in ${_out}/orblive.1 @ONLY)

# Debian wants the changelog and manual page compressed without a time stamp.
find_program(GZIP_PROGRAM gzip REQUIRED)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(_generated)
foreach(doc changelog orblive.1)
  add_custom_command(OUTPUT ${_out}/${doc}.gz
    COMMAND ${GZIP_PROGRAM} -9nkf ${_out}/${doc}
    DEPENDS ${_out}/${doc}
    VERBATIM)
  list(APPEND _generated ${_out}/${doc}.gz)
endforeach()

# Menu icons are rendered from the program's logo at the sizes desktops ask for.
set(_logo ${PROJECT_SOURCE_DIR}/resources/svg/logo.svg)
set(ORB_ICON_SIZES 16 22 24 32 48 64 128 256 512)
foreach(size ${ORB_ICON_SIZES})
  set(_png ${_out}/icons/${size}x${size}/${ORB_APP_ID}.png)
  add_custom_command(OUTPUT ${_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_out}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${_png} ${_logo}
    DEPENDS ${_logo}
    COMMENT "Rendering the ${size}x${size} menu icon"
    VERBATIM)
  list(APPEND _generated ${_png})
  install(FILES ${_png} DESTINATION /usr/share/icons/hicolor/${size}x${size}/apps
          COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()
add_custom_target(orb_desktop_files ALL DEPENDS ${_generated})

install(PROGRAMS ${_out}/bin/orblive DESTINATION /usr/bin COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${_src}/${ORB_APP_ID}.desktop DESTINATION /usr/share/applications
        COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${_out}/${ORB_APP_ID}.metainfo.xml DESTINATION /usr/share/metainfo
        COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${_logo} DESTINATION /usr/share/icons/hicolor/scalable/apps
        RENAME ${ORB_APP_ID}.svg COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${_out}/changelog.gz ${_src}/copyright DESTINATION /usr/share/doc/orblive
        COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${_out}/orblive.1.gz DESTINATION /usr/share/man/man1
        COMPONENT desktop EXCLUDE_FROM_ALL)
# The deployment files are the administrator's to replace: they live in /etc/orblive as
# configuration files, which upgrades keep, and the program finds them through data/.
set(ORB_DEPLOYMENT_FILES config.json network.json)
set(_conffiles)
foreach(f ${ORB_DEPLOYMENT_FILES})
  install(FILES ${PROJECT_SOURCE_DIR}/data/${f} DESTINATION /etc/orblive
          COMPONENT desktop EXCLUDE_FROM_ALL)
  string(APPEND _conffiles "/etc/orblive/${f}\n")
endforeach()
file(WRITE ${_out}/control/conffiles "${_conffiles}")
install(CODE "file(CREATE_LINK /etc/orblive \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/data\" SYMBOLIC)"
        COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${_src}/lintian-overrides DESTINATION /usr/share/lintian/overrides
        RENAME orblive COMPONENT desktop EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orblive)
set(CPACK_PACKAGE_VENDOR kelvarin)
set(CPACK_PACKAGE_CONTACT "${ORB_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live broadcasting client for scheduled broadcasts")
set(CPACK_PACKAGE_DESCRIPTION
    "Presenters sign in through their service's web page, see their scheduled\n\
broadcasts and open one in a room. There they compose the picture from scenes\n\
and materials (camera, screen, window, picture, video, slideshow), stream it\n\
while recording it locally, and chat with the audience.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX ${ORB_PACKAGE_DIR})
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};orblive;Unspecified;/;${CMAKE_BINARY_DIR};orblive;desktop;/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_out}/control/conffiles)
# Libraries come from the binaries; the engine's plugins (capture, encoders, outputs) and the
# font that draws Chinese are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "obs-studio (>= 29), fonts-wqy-microhei")
include(CPack)
