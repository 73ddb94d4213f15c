# The Debian package, built by scripts/package: `cpack -G DEB` in a build
# configured with -DPRZENOSNIK_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME przenosnik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PRZENOSNIK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "konwerter faktur z eksportu Symfonii do KPR")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PRZENOSNIK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PRZENOSNIK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Polish texts of Qt's own dialogs and buttons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# CPack puts the summary first and indents these lines; an empty line parts paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Przenośnik czyta plik eksportu faktur (FVS*.TXT, Windows-1250) i dopisuje
każdą przyjętą fakturę jako 400-bajtowy zapis do miesięcznych plików
podatkowej księgi przychodów i rozchodów (KPR) prowadzonej programem pod
DOS-em, w stronie kodowej 852 albo Mazovia. Symulacja pokazuje cały przebieg
bez zapisu.

Pakiet zawiera program okienkowy przenosnik i konwerter wiersza poleceń
przenosnik-cli.")
include(CPack)
