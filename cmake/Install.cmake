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
set(manuals przenosnik-cli.1)
if(TARGET przenosnik)
  list(APPEND manuals przenosnik.1)
endif()
foreach(manual ${manuals})
  configure_file(${data}/${manual}.in ${generated}/${manual} @ONLY)
endforeach()

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
  set(compressed)
  foreach(file ${manuals} changelog)
    add_custom_command(OUTPUT ${generated}/${file}.gz COMMAND gzip -9nkf ${generated}/${file}
                       DEPENDS ${generated}/${file})
    list(APPEND compressed ${generated}/${file}.gz)
  endforeach()
  add_custom_target(przenosnik_package_docs ALL DEPENDS ${compressed})
  list(TRANSFORM manuals APPEND .gz)
  install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/przenosnik)
endif()
list(TRANSFORM manuals PREPEND ${generated}/)
install(FILES ${manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
