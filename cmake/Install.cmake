# What `cmake --install` puts where: the two programs, the desktop entry, the
# icon, the AppStream metadata with its screenshot, and the manual page.
include(GNUInstallDirs)

set(PRZENOSNIK_HOMEPAGE "https://przenosnik.pl/" CACHE STRING
    "Home page of the program (ends with /); the metadata's screenshot is published under it")
set(PRZENOSNIK_MAINTAINER "Zespół Przenośnika <przenosnik@przenosnik.pl>" CACHE STRING
    "Maintainer of the Debian package, also named in its changelog")
option(PRZENOSNIK_PACKAGE "Install as a Debian package wants it: compressed manual page and changelog" OFF)

string(REPLACE "." "-" PRZENOSNIK_RELEASE_DATE "${PROJECT_VERSION}")
set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)

configure_file(${data}/${PRZENOSNIK_APP_ID}.metainfo.xml.in ${generated}/${PRZENOSNIK_APP_ID}.metainfo.xml @ONLY)
configure_file(${data}/przenosnik-cli.1.in ${generated}/przenosnik-cli.1 @ONLY)

if(TARGET przenosnik-cli)
  install(TARGETS przenosnik-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET przenosnik)
  install(TARGETS przenosnik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${data}/${PRZENOSNIK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${generated}/${PRZENOSNIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${data}/screenshots/main-window.png DESTINATION ${CMAKE_INSTALL_DATADIR}/przenosnik/zrzuty)
  install(FILES ${data}/icons/${PRZENOSNIK_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${data}/icons/${size}x${size}/${PRZENOSNIK_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()
install(FILES ${data}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/przenosnik)

if(PRZENOSNIK_PACKAGE)
  # A package carries its manual page and changelog compressed, reproducibly (no name, no time).
  execute_process(COMMAND date -R -u -d "${PRZENOSNIK_RELEASE_DATE} 12:00"
                  OUTPUT_VARIABLE PRZENOSNIK_RELEASE_DATE_RFC OUTPUT_STRIP_TRAILING_WHITESPACE)
  configure_file(${data}/changelog.in ${generated}/changelog @ONLY)
  add_custom_command(OUTPUT ${generated}/przenosnik-cli.1.gz ${generated}/changelog.gz
                     COMMAND gzip -9nkf ${generated}/przenosnik-cli.1 ${generated}/changelog
                     DEPENDS ${generated}/przenosnik-cli.1 ${generated}/changelog)
  add_custom_target(przenosnik_package_docs ALL DEPENDS ${generated}/przenosnik-cli.1.gz ${generated}/changelog.gz)
  install(FILES ${generated}/przenosnik-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/przenosnik)
else()
  install(FILES ${generated}/przenosnik-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
