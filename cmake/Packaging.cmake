# The Debian packages (scripts/package, -DORVA_PACKAGE=ON): the shared
# library liborvasaleprice, orva-saleprice linked to it, and what CPack's DEB
# generator puts into each package:
#   orva-saleprice        the three programs, translations, help, desktop
#                         entry, icons, AppStream metainfo, manual pages
#   liborvasaleprice1     liborvasaleprice.so.1: the module and its Qt face
#   liborvasaleprice-dev  include/orvasaleprice, the CMake package
#                         (find_package(OrvaSalePrice)) and orvasaleprice.pc
# Included at the end of the top-level CMakeLists.txt, after the Qt face.

if(NOT TARGET orvasaleprice-qt)
  message(FATAL_ERROR "ORVA_PACKAGE needs the Qt face (qt6-base-dev, scripts/deps.sh).")
endif()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
set(ORVA_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ORVA_APP_ID com.orva.saleprice)
set(ORVA_HOMEPAGE "https://orva.example/saleprice" CACHE STRING
    "Home page named by the packages and the metainfo (screenshots under docs/screenshots/)")
set(ORVA_MAINTAINER "OrvaSalePrice maintainers <maintainers@orva.example>" CACHE STRING
    "Maintainer field of the packages")

# --- The shared library -----------------------------------------------------
# The module with its host platform, demo company generator and Qt face, made
# of the objects the static libraries hold. The Qt face uses the module's
# internals throughout, so the two are one library: split, the module would
# have to export those internals to its face.
add_library(orvasaleprice-shared SHARED
            $<TARGET_OBJECTS:orvahost> $<TARGET_OBJECTS:orvademo>
            $<TARGET_OBJECTS:orvasaleprice> $<TARGET_OBJECTS:orvasaleprice-qt>)
set_target_properties(orvasaleprice-shared PROPERTIES
                      OUTPUT_NAME orvasaleprice
                      VERSION ${PROJECT_VERSION}
                      SOVERSION ${PROJECT_VERSION_MAJOR}
                      EXPORT_NAME OrvaSalePrice)
target_link_libraries(orvasaleprice-shared PRIVATE
                      PkgConfig::SQLITE3 PkgConfig::ODBC PkgConfig::ICU PkgConfig::LIBPQ
                      PkgConfig::XLSXWRITER PkgConfig::ORCUS Threads::Threads Qt6::Widgets
                      Qt6::PrintSupport)
target_include_directories(orvasaleprice-shared INTERFACE
                           $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
                           $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# Only orva:: is exported (the version script keeps the standard library's
# instantiations for the public types local); every symbol must resolve at
# link time; the dynamic relocations are read-only once resolved.
set(orva_version_script ${ORVA_PACKAGING_DIR}/liborvasaleprice.map)
target_link_options(orvasaleprice-shared PRIVATE
                    -Wl,--version-script=${orva_version_script} -Wl,--no-undefined
                    -Wl,-z,relro -Wl,-z,now)
set_property(TARGET orvasaleprice-shared APPEND PROPERTY LINK_DEPENDS ${orva_version_script})
add_dependencies(orvasaleprice-shared orva_translations)

target_link_libraries(orva-saleprice PRIVATE orvasaleprice-shared)
foreach(program orva-saleprice orva-sql orva-demo-db)
  target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
endforeach()

# --- What each package installs ---------------------------------------------
install(TARGETS orva-sql orva-demo-db COMPONENT programs)
install(TARGETS orvasaleprice-shared EXPORT OrvaSalePriceTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
                NAMELINK_COMPONENT development)

install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/orvasaleprice
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
set(orva_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/OrvaSalePrice)
install(EXPORT OrvaSalePriceTargets NAMESPACE OrvaSalePrice:: DESTINATION ${orva_cmake_dir}
        COMPONENT development)
configure_package_config_file(${ORVA_PACKAGING_DIR}/OrvaSalePriceConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/OrvaSalePriceConfig.cmake
                              INSTALL_DESTINATION ${orva_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/OrvaSalePriceConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/OrvaSalePriceConfig.cmake
              ${CMAKE_BINARY_DIR}/OrvaSalePriceConfigVersion.cmake
        DESTINATION ${orva_cmake_dir} COMPONENT development)
configure_file(${ORVA_PACKAGING_DIR}/orvasaleprice.pc.in ${CMAKE_BINARY_DIR}/orvasaleprice.pc
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/orvasaleprice.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# Desktop entry, metainfo and the icon: the SVG, and PNG sizes drawn from it.
install(FILES ${ORVA_PACKAGING_DIR}/desktop/${ORVA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
configure_file(${ORVA_PACKAGING_DIR}/desktop/${ORVA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${ORVA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${ORVA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT programs)
set(orva_icon_svg ${ORVA_PACKAGING_DIR}/desktop/${ORVA_APP_ID}.svg)
install(FILES ${orva_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT programs)
find_program(ORVA_RSVG_CONVERT rsvg-convert REQUIRED)
set(orva_icons)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${ORVA_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
                     COMMAND ${ORVA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${orva_icon_svg}
                     DEPENDS ${orva_icon_svg} VERBATIM)
  list(APPEND orva_icons ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          COMPONENT programs)
endforeach()
add_custom_target(orva_icons ALL DEPENDS ${orva_icons})

# Manual pages: help2man from each program's --help and --version (neither
# needs a display), with the sections of packaging/man/<program>.h2m.
find_program(ORVA_HELP2MAN help2man REQUIRED)
find_program(ORVA_GZIP gzip REQUIRED)
set(orva_man_orva-saleprice "customer sale price windows of the ERP client")
set(orva_man_orva-sql "send T-SQL text to a company database")
set(orva_man_orva-demo-db "create a demo or large company database")
set(orva_manpages)
foreach(program orva-saleprice orva-sql orva-demo-db)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND ${ORVA_HELP2MAN} --no-info --section=1 --name=${orva_man_${program}}
                             --include=${ORVA_PACKAGING_DIR}/man/${program}.h2m
                             --output=${page} $<TARGET_FILE:${program}>
                     COMMAND ${ORVA_GZIP} -9nf ${page}
                     DEPENDS ${program} ${ORVA_PACKAGING_DIR}/man/${program}.h2m VERBATIM)
  list(APPEND orva_manpages ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
endforeach()
add_custom_target(orva_manpages ALL DEPENDS ${orva_manpages})

# Each package's copyright and changelog.
configure_file(${ORVA_PACKAGING_DIR}/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
                   COMMAND ${ORVA_GZIP} -9nkf ${CMAKE_BINARY_DIR}/doc/changelog
                   DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog VERBATIM)
add_custom_target(orva_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)

# --- CPack ------------------------------------------------------------------
set(orva_components programs library development)
set(orva_package_names orva-saleprice liborvasaleprice1 liborvasaleprice-dev)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${orva_components})
set(CPACK_PACKAGE_NAME orva-saleprice)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orva")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORVA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
# Dependencies on the system's libraries come from dpkg-shlibdeps; the
# library package declares its own (shlibs) for the programs and hosts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# Where dpkg-shlibdeps finds the library the programs link (its package
# dependency is written out below, exact).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
set(orva_exact "(= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME orva-saleprice)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION misc)
# Qt's own translations: the file and print dialogs of a Chinese session.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS
    "liborvasaleprice1 ${orva_exact}, qt6-translations-l10n")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SUGGESTS "tdsodbc, postgresql-client")
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION
    "customer sale price windows of an ERP client
Browse customer or item groups beside a ledger of price entries; add,
modify, audit, delete and batch-process prices, set minimum sale prices,
find, filter, sort, print and export, in Chinese or English. The company
database is a SQLite file, a PostgreSQL database or SQL Server over ODBC.

This package holds orva-saleprice, which logs a user on and opens the
windows, orva-sql, which sends T-SQL text to a company database, and
orva-demo-db, which creates a demo or large company.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME liborvasaleprice1)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# Loaded at run time, unseen by dpkg-shlibdeps: fonts that render the
# Chinese texts, and the Wayland platform plugin (the X11 one comes with
# libqt6gui6, which the library links).
set(CPACK_DEBIAN_LIBRARY_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SUGGESTS "tdsodbc")
set(orva_lib_control ${ORVA_PACKAGING_DIR}/liborvasaleprice1)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
    ${orva_lib_control}/triggers ${orva_lib_control}/postinst ${orva_lib_control}/postrm)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION
    "customer sale price module of an ERP client (library)
The module a host application creates, as CustFace, to let a clerk browse
and maintain customer sale prices in its own Qt windows and hand back the
price entry picked. It reads and writes the company database (SQLite,
PostgreSQL, or SQL Server over ODBC) through the host's session.

This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME liborvasaleprice-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "liborvasaleprice1 ${orva_exact}")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "customer sale price module of an ERP client (development files)
The module a host application creates, as CustFace, to let a clerk browse
and maintain customer sale prices in its own Qt windows and hand back the
price entry picked.

This package holds the headers, the CMake package (find_package
OrvaSalePrice, target OrvaSalePrice::OrvaSalePrice) and the pkg-config
file orvasaleprice.pc.")

foreach(component package IN ZIP_LISTS orva_components orva_package_names)
  install(FILES ${ORVA_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()

include(CPack)
