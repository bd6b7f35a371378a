# The Qt 6 Widgets face of the module: views of the control models, the host
# dialogs and services (library orvasaleprice-qt), and its GUI tests (test_qt).
# Included at the end of the top-level CMakeLists.txt, after tests/, so that
# the test support library exists.

find_package(Qt6 6.2 COMPONENTS Widgets PrintSupport Test)
if(NOT Qt6_FOUND)
  message(WARNING "Qt 6 (Widgets, PrintSupport, Test) not found: the Qt face is not built. "
                  "Install qt6-base-dev (scripts/deps.sh).")
  return()
endif()

orva_glob_sources(ORVA_QT_SOURCES src/qt)
add_library(orvasaleprice-qt STATIC ${ORVA_QT_SOURCES})
set_target_properties(orvasaleprice-qt PROPERTIES AUTOMOC ON)
target_link_libraries(orvasaleprice-qt PUBLIC orvasaleprice Qt6::Widgets Qt6::PrintSupport)
# The control models have members named like Qt's keywords (slots, emit):
# Qt code here spells them Q_SLOTS, Q_SIGNALS and Q_EMIT.
target_compile_definitions(orvasaleprice-qt PUBLIC QT_NO_KEYWORDS)
# Where the help page is found last, after ORVA_HELP_DIR and the share folder
# beside the program (qt/dialogs/help_page.cpp): in a build tree, the source
# folder; packaged, the installed share folder, so that a host anywhere on
# the machine finds the page.
include(GNUInstallDirs)
if(ORVA_PACKAGE)
  set(orva_help_fallback ${CMAKE_INSTALL_FULL_DATADIR}/orvasaleprice/help)
else()
  set(orva_help_fallback ${CMAKE_SOURCE_DIR}/data/help)
endif()
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/qt/dialogs/help_page.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS ORVA_HELP_SOURCE_DIR="${orva_help_fallback}")
# The version orva-saleprice --version prints.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/qt/hostapp/host_app_options.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS ORVA_VERSION="${PROJECT_VERSION}")
install(FILES ${CMAKE_SOURCE_DIR}/data/help/orvasaleprice.html
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvasaleprice/help)

if(ORVA_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  file(GLOB orva_qt_test_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/qt/*.cpp)
  if(orva_qt_test_sources)
    orva_add_test(NAME test_qt SOURCES ${orva_qt_test_sources}
                  LIBS orvatestsupport orvasaleprice-qt Qt6::Test GUI)
    set_target_properties(test_qt PROPERTIES AUTOMOC ON)
  endif()
endif()

# The host application creates the demo company on first use.
target_link_libraries(orvasaleprice-qt PUBLIC orvademo)

# orva-saleprice: the host application a user runs (qt/hostapp/host_app.h).
if(EXISTS ${CMAKE_SOURCE_DIR}/app/orva_saleprice_main.cpp)
  add_executable(orva-saleprice ${CMAKE_SOURCE_DIR}/app/orva_saleprice_main.cpp)
  # Packaged, it links the shared library instead (cmake/Packaging.cmake).
  if(NOT ORVA_PACKAGE)
    target_link_libraries(orva-saleprice PRIVATE orvasaleprice-qt)
  endif()
  set_target_properties(orva-saleprice PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
  install(TARGETS orva-saleprice)
endif()

# Benchmarks of the windows: one program per bench/qt/bench_*.cpp, offscreen.
if(ORVA_BUILD_BENCH)
  file(GLOB orva_qt_bench_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/qt/bench_*.cpp)
  if(orva_qt_bench_sources)
    find_package(benchmark REQUIRED)
  endif()
  # The bench support library with the Qt application they start.
  add_library(orvabenchsupport-qt STATIC ${CMAKE_SOURCE_DIR}/bench/common/offscreen_app.cpp)
  target_link_libraries(orvabenchsupport-qt PUBLIC orvabenchsupport orvasaleprice-qt)
  foreach(src ${orva_qt_bench_sources})
    get_filename_component(name ${src} NAME_WE)
    orva_add_bench(NAME ${name} SOURCES ${src} LIBS orvabenchsupport-qt)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  endforeach()
endif()

# The GUI tests run the program as a user does; bench_launch times its start.
foreach(runner test_qt bench_launch)
  if(TARGET ${runner} AND TARGET orva-saleprice)
    add_dependencies(${runner} orva-saleprice)
  endif()
endforeach()
