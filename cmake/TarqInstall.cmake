# Installing TARQ as a desktop game, and the Debian package made from that install.
#
#   bin/tarq                                  the program
#   share/tarq/                               the forged data folder (only read)
#   share/applications/tarq.desktop           the menu entry
#   share/icons/hicolor/NxN/apps/tarq.png     the icon at 48, 64, 128 and 256 pixels
#   share/metainfo/<id>.metainfo.xml          the AppStream description
#   share/man/man6/tarq.6                     the manual page
#   share/tarq-screenshots/*.png              the AppStream screenshots, taken by the game
#
# The program finds its data as ../share/tarq beside itself, so any prefix works.
include(GNUInstallDirs)

set(TARQ_APP_ID "org.tarqgame.tarq" CACHE STRING "Reverse-DNS id of the AppStream component")
# Where the screenshots are published; the AppStream file names them by web address.
set(TARQ_SCREENSHOT_URL "https://tarqgame.org/screenshots/${PROJECT_VERSION}" CACHE STRING
    "Base web address of the published AppStream screenshots")
set(TARQ_RELEASE_DATE "2026-12-09" CACHE STRING "Date of this release (YYYY-MM-DD)")

set(TARQ_DESKTOP_DIR ${CMAKE_BINARY_DIR}/desktop)
configure_file(${PROJECT_SOURCE_DIR}/dist/tarq.desktop.in ${TARQ_DESKTOP_DIR}/tarq.desktop @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/dist/metainfo.xml.in ${TARQ_DESKTOP_DIR}/${TARQ_APP_ID}.metainfo.xml @ONLY)

# The icons, painted by the forge from the game's own art.
set(TARQ_ICON_SIZES 48 64 128 256)
set(icon_files)
foreach(size ${TARQ_ICON_SIZES})
  list(APPEND icon_files ${TARQ_DESKTOP_DIR}/icons/${size}x${size}/tarq.png)
endforeach()
if(TARQ_FORGE_PROGRAM)
  set(icon_forge ${TARQ_FORGE_PROGRAM})
else()
  set(icon_forge forge)
endif()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND ${icon_forge} --icons ${TARQ_DESKTOP_DIR}/icons
  DEPENDS ${icon_forge}
  COMMENT "Forging the desktop icons"
  VERBATIM)

# The screenshots, taken by the game itself: the headless runner and its software
# renderer, a fixed seed and a fixed input script, so they are the same every build.
set(screenshot_files ${TARQ_DESKTOP_DIR}/screenshots/title.png ${TARQ_DESKTOP_DIR}/screenshots/playing.png)
add_custom_command(
  OUTPUT ${screenshot_files}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TARQ_DESKTOP_DIR}/screenshots
  COMMAND $<TARGET_FILE:tarq> --headless --ticks 1000 --seed 1 --data ${TARQ_DATA_DIR}
          --input ${PROJECT_SOURCE_DIR}/dist/screenshots.txt
          --screenshot 640:${TARQ_DESKTOP_DIR}/screenshots/title.png
                       1000:${TARQ_DESKTOP_DIR}/screenshots/playing.png
  DEPENDS tarq gamedata ${TARQ_DATA_DIR}/.forged ${PROJECT_SOURCE_DIR}/dist/screenshots.txt
  COMMENT "Taking the AppStream screenshots with the headless runner"
  VERBATIM)
# The sanitizer build runs the tests only; it never installs.
if(TARQ_SANITIZE)
  add_custom_target(desktop_files DEPENDS ${icon_files} ${screenshot_files})
else()
  add_custom_target(desktop_files ALL DEPENDS ${icon_files} ${screenshot_files})
endif()

install(TARGETS tarq RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The data folder as forged. Files a player's run may have left in the build tree's
# copy (settings, high scores, half-written temporary files) are not part of it.
install(DIRECTORY ${TARQ_DATA_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tarq
        PATTERN ".forged" EXCLUDE
        PATTERN "tarq.ini" EXCLUDE
        PATTERN "hiscores.dat" EXCLUDE
        PATTERN "*.tmp-*" EXCLUDE)
install(FILES ${TARQ_DESKTOP_DIR}/tarq.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TARQ_DESKTOP_DIR}/${TARQ_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${TARQ_ICON_SIZES})
  install(FILES ${TARQ_DESKTOP_DIR}/icons/${size}x${size}/tarq.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${screenshot_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/tarq-screenshots)
install(FILES ${PROJECT_SOURCE_DIR}/dist/tarq.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# `make package`: a Debian package of the install above.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tarq")
set(CPACK_PACKAGE_VENDOR "The TARQ developers")
set(CPACK_PACKAGE_CONTACT "The TARQ developers <tarq@tarqgame.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vertically scrolling helicopter shoot-'em-up")
set(CPACK_PACKAGE_DESCRIPTION
    "Each player flies an armed helicopter up a long scrolling map, shooting ground and air enemies, collecting power-ups and nukes, and fighting bosses. For one or two players, with keyboard or game pads.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries the program links come from dpkg-shlibdeps; OpenGL and its
# drivers are opened at run time by libepoxy and SDL, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1, libgl1-mesa-dri")
include(CPack)

# The install check (scripts/install-check.sh) takes seconds, so it is one of the
# tests: install, validators, the package. The sanitizer build never installs.
if(TARQ_TESTS AND NOT TARQ_SANITIZE)
  add_test(NAME install_check COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/install-check.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install_check PROPERTIES TIMEOUT 300)
endif()
