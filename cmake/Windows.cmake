# The Windows program: the icon and version resources of the two executables,
# the files of the portable folder (`cmake --install`, used by scripts/windows
# for the zip and the installer), and Wine as the tests' emulator when
# cross-building on Linux.
set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)

# The icon, made from the PNGs of data/icons with ImageMagick.
find_program(PRZENOSNIK_CONVERT NAMES convert magick NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(PRZENOSNIK_ICON ${generated}/przenosnik.ico)
set(icon_images)
foreach(size 16 32 48 64 128 256)
  list(APPEND icon_images ${data}/icons/${size}x${size}/${PRZENOSNIK_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${PRZENOSNIK_ICON} COMMAND ${PRZENOSNIK_CONVERT} ${icon_images} ${PRZENOSNIK_ICON}
                   DEPENDS ${icon_images} COMMENT "Ikona programu dla Windows")
add_custom_target(przenosnik_icon DEPENDS ${PRZENOSNIK_ICON})

# The version resource counts in 16-bit numbers: 2014.02.12 is 2014,2,12,0.
string(REPLACE "." ";" version_parts "${PROJECT_VERSION}")
set(PRZENOSNIK_RC_VERSION)
foreach(part ${version_parts})
  math(EXPR part "${part}")
  list(APPEND PRZENOSNIK_RC_VERSION ${part})
endforeach()
list(APPEND PRZENOSNIK_RC_VERSION 0)
list(SUBLIST PRZENOSNIK_RC_VERSION 0 4 PRZENOSNIK_RC_VERSION)
string(REPLACE ";" "," PRZENOSNIK_RC_VERSION "${PRZENOSNIK_RC_VERSION}")
set(PRZENOSNIK_RC_COMPANY "Zespół Przenośnika")

function(przenosnik_windows_resource target description)
  set(PRZENOSNIK_RC_NAME ${target})
  set(PRZENOSNIK_RC_FILE ${target}.exe)
  set(PRZENOSNIK_RC_DESCRIPTION "${description}")
  set(rc ${generated}/${target}.rc)
  configure_file(${data}/windows/przenosnik.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${PRZENOSNIK_ICON})
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} przenosnik_icon)
endfunction()

if(TARGET przenosnik)
  # A window program: no console window opens beside it.
  set_target_properties(przenosnik PROPERTIES WIN32_EXECUTABLE ON)
  przenosnik_windows_resource(przenosnik "Przenośnik - konwerter faktur do KPR")
endif()
if(TARGET przenosnik-cli)
  przenosnik_windows_resource(przenosnik-cli "Przenośnik - konwerter faktur do KPR (wiersz poleceń)")
endif()

# The DLLs of the MinGW runtime, where the compiler keeps them.
set(PRZENOSNIK_MINGW_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${dll} of the MinGW runtime not found (${CMAKE_CXX_COMPILER})")
  endif()
  get_filename_component(path "${path}" REALPATH)
  list(APPEND PRZENOSNIK_MINGW_DLLS ${path})
endforeach()

# Qt for Windows: its prefix is where Qt6Core.dll's bin folder is.
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(PRZENOSNIK_QT_PREFIX "${qt_core_dll}/../.." ABSOLUTE)
set(PRZENOSNIK_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH
    "Folder of Qt's Polish translation qtbase_pl.qm (Debian's qt6-translations-l10n)")

# The portable folder: both programs, the Qt DLLs and the plugins they load,
# Qt's Polish translation and the MinGW runtime, all beside each other.
if(TARGET przenosnik AND TARGET przenosnik-cli)
  install(TARGETS przenosnik przenosnik-cli RUNTIME DESTINATION .)
  set(qt_dlls Core Gui Widgets PrintSupport)
  list(TRANSFORM qt_dlls REPLACE "^(.+)$" "${PRZENOSNIK_QT_PREFIX}/bin/Qt6\\1.dll")
  install(FILES ${qt_dlls} ${PRZENOSNIK_MINGW_DLLS} DESTINATION .)
  install(FILES ${PRZENOSNIK_QT_PREFIX}/plugins/platforms/qwindows.dll DESTINATION plugins/platforms)
  install(FILES ${PRZENOSNIK_QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll DESTINATION plugins/styles)
  install(DIRECTORY ${PRZENOSNIK_QT_PREFIX}/plugins/imageformats DESTINATION plugins
          FILES_MATCHING PATTERN "*.dll")
  if(EXISTS ${PRZENOSNIK_QT_PREFIX}/plugins/printsupport)
    install(DIRECTORY ${PRZENOSNIK_QT_PREFIX}/plugins/printsupport DESTINATION plugins
            FILES_MATCHING PATTERN "*.dll")
  endif()
  install(FILES ${PRZENOSNIK_QT_TRANSLATIONS}/qtbase_pl.qm DESTINATION translations)
  # Qt finds its plugins and translations beside the programs, not where it was built.
  install(FILES ${data}/windows/qt.conf DESTINATION .)
  install(FILES ${PRZENOSNIK_ICON} DESTINATION .)
endif()

# Wine runs the tests of a cross build: its prefix lives in the build folder.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  set(PRZENOSNIK_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
  set(wine_path)
  foreach(folder ${PRZENOSNIK_QT_PREFIX}/bin ${PRZENOSNIK_MINGW_DLLS})
    if(folder MATCHES "\\.dll$")
      get_filename_component(folder ${folder} DIRECTORY)
    endif()
    list(APPEND wine_path "Z:${folder}")
  endforeach()
  list(REMOVE_DUPLICATES wine_path)
  string(REPLACE "/" "\\\\" wine_path "${wine_path}")
  set(PRZENOSNIK_WINEPATH "${wine_path}")
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()
