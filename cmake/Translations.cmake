# Translation catalogues, built from the sources at build time.
#
#   1. xgettext extracts every text key: the string literal passed to
#      GetResText or to the no-op marker N_ in src/ and include/
#      -> <build>/i18n/orvasaleprice.pot (the template for translators).
#      A second run takes every string literal of the same files but
#      src/demo/ (which writes company data and cannot reach GetResText)
#      -> <build>/i18n/literals.pot, so that the catalogue test sees a
#      Chinese text that reaches GetResText through a helper unmarked.
#   2. Each language is a folder data/i18n/<code>/ of gettext PO files, one
#      per area of the module (resources.po, model.po, entry.po, ...).
#      msgcat --use-first merges them (resources.po first: its header carries
#      the language's fonts) and msgfmt compiles the result
#      -> <build>/i18n/<CODE>/ORVAINDUSTRY.mo, the code in upper case.
#   3. The module's resource loader reads that file itself (host/mo_catalog.h);
#      host/catalogue_files.h says where it looks: ORVA_I18N_DIR, next to the
#      executable, the installed share folder, then this build folder.
# The test EnglishCatalogue.* in test_resources fails when a key extracted in
# step 1 has no English translation, or when a Chinese literal is neither
# such a key nor one of the few literals it lists as no text (font names).

find_program(ORVA_XGETTEXT xgettext REQUIRED)
find_program(ORVA_MSGCAT msgcat REQUIRED)
find_program(ORVA_MSGFMT msgfmt REQUIRED)
include(GNUInstallDirs)

set(ORVA_I18N_BUILD_DIR ${CMAKE_BINARY_DIR}/i18n)
set(ORVA_I18N_CATALOGUE ORVAINDUSTRY)

# 1. Key extraction.
file(GLOB_RECURSE orva_i18n_sources CONFIGURE_DEPENDS
     RELATIVE ${CMAKE_SOURCE_DIR}
     ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h
     ${CMAKE_SOURCE_DIR}/include/*.h)
list(SORT orva_i18n_sources)
list(JOIN orva_i18n_sources "\n" orva_i18n_list)
file(CONFIGURE OUTPUT ${ORVA_I18N_BUILD_DIR}/sources.txt CONTENT "${orva_i18n_list}\n" @ONLY)
list(TRANSFORM orva_i18n_sources PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE orva_i18n_deps)

set(orva_pot ${ORVA_I18N_BUILD_DIR}/orvasaleprice.pot)
add_custom_command(
  OUTPUT ${orva_pot}
  COMMAND ${ORVA_XGETTEXT} --language=C++ --from-code=UTF-8 --keyword= --keyword=GetResText
          --keyword=N_ --sort-by-file --no-wrap --package-name=OrvaSalePrice
          --directory=${CMAKE_SOURCE_DIR} --files-from=${ORVA_I18N_BUILD_DIR}/sources.txt
          --output=${orva_pot}
  DEPENDS ${orva_i18n_deps} ${ORVA_I18N_BUILD_DIR}/sources.txt
  COMMENT "Extracting text keys"
  VERBATIM)
set(orva_literals ${ORVA_I18N_BUILD_DIR}/literals.pot)
set(orva_i18n_module_sources ${orva_i18n_sources})
list(FILTER orva_i18n_module_sources EXCLUDE REGEX "^src/demo/")
list(JOIN orva_i18n_module_sources "\n" orva_i18n_module_list)
file(CONFIGURE OUTPUT ${ORVA_I18N_BUILD_DIR}/module-sources.txt
     CONTENT "${orva_i18n_module_list}\n" @ONLY)
add_custom_command(
  OUTPUT ${orva_literals}
  COMMAND ${CMAKE_COMMAND} -DXGETTEXT=${ORVA_XGETTEXT} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -DFILES=${ORVA_I18N_BUILD_DIR}/module-sources.txt -DOUTPUT=${orva_literals}
          -P ${CMAKE_CURRENT_LIST_DIR}/ExtractLiterals.cmake
  DEPENDS ${orva_i18n_deps} ${ORVA_I18N_BUILD_DIR}/module-sources.txt
          ${CMAKE_CURRENT_LIST_DIR}/ExtractLiterals.cmake
  COMMENT "Extracting every string literal of the module"
  VERBATIM)
set(orva_i18n_outputs ${orva_pot} ${orva_literals})

# 2. One catalogue per language folder.
file(GLOB orva_i18n_languages LIST_DIRECTORIES true CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/data/i18n/*)
foreach(dir ${orva_i18n_languages})
  if(NOT IS_DIRECTORY ${dir})
    continue()
  endif()
  get_filename_component(code ${dir} NAME)
  string(TOUPPER ${code} code)
  file(GLOB po_files CONFIGURE_DEPENDS ${dir}/*.po)
  list(SORT po_files)
  if(NOT po_files)
    continue()
  endif()
  if(EXISTS ${dir}/resources.po)
    list(REMOVE_ITEM po_files ${dir}/resources.po)
    list(PREPEND po_files ${dir}/resources.po)
  endif()
  set(merged ${ORVA_I18N_BUILD_DIR}/${code}/${ORVA_I18N_CATALOGUE}.po)
  set(mo ${ORVA_I18N_BUILD_DIR}/${code}/${ORVA_I18N_CATALOGUE}.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVA_I18N_BUILD_DIR}/${code}
    COMMAND ${ORVA_MSGCAT} --use-first --no-wrap --output-file=${merged} ${po_files}
    COMMAND ${ORVA_MSGFMT} --check --output-file=${mo} ${merged}
    DEPENDS ${po_files}
    COMMENT "Compiling the ${code} catalogue"
    VERBATIM)
  list(APPEND orva_i18n_outputs ${mo})
  install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_DATADIR}/orvasaleprice/i18n/${code})
endforeach()

add_custom_target(orva_translations ALL DEPENDS ${orva_i18n_outputs})
# Programs that link the module find the catalogues in this build folder.
add_dependencies(orvasaleprice orva_translations)
# A packaged library looks in the installed share folder last instead, so
# that a host anywhere on the machine finds the catalogues.
if(ORVA_PACKAGE)
  set(orva_i18n_fallback ${CMAKE_INSTALL_FULL_DATADIR}/orvasaleprice/i18n)
else()
  set(orva_i18n_fallback ${ORVA_I18N_BUILD_DIR})
endif()
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/host/catalogue_files.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS "ORVA_I18N_BUILD_DIR=\"${orva_i18n_fallback}\"")
