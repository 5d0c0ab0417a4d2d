# The graphics library as a product for other programs: one shared and one
# static library made of the module libraries' objects, the public headers
# in include/zentravolk/, and what `cmake --install` puts under a prefix:
#
#   include/zentravolk/*.h                    the public headers
#   lib/libzentravolk.so, lib/libzentravolk.a the libraries
#   lib/cmake/zentravolk/                     find_package(zentravolk)
#   lib/pkgconfig/zentravolk.pc               pkg-config zentravolk
#   bin/zentravolk                            the game's launcher
#   libexec/zentravolk/zentravolk             the game
#   share/zentravolk/data/                    the game's art and level
#   share/doc/zentravolk/examples/            every example program's source
#   share/doc/zentravolk/library.md           the library guide
#   share/doc/zentravolk/architecture.md      the map of the source tree
#   share/doc/zentravolk/html/                the reference (when Doxygen is installed)
#   share/doc/zentravolk/LICENSE              the zlib licence
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The version the public header states must be the project's.
file(STRINGS ${CMAKE_SOURCE_DIR}/include/zentravolk/common.h zq_version_line
     REGEX "^#define ZQ_VERSION_STRING ")
if(NOT zq_version_line MATCHES "\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "include/zentravolk/common.h states ${zq_version_line}, the project is ${PROJECT_VERSION}")
endif()

find_package(SDL2 REQUIRED)
find_package(PNG REQUIRED)

set(zq_library_modules zq_platform zq_drivers zq_runtime zq_gfx)
set(zq_library_objects)
foreach(module ${zq_library_modules})
  list(APPEND zq_library_objects $<TARGET_OBJECTS:${module}>)
endforeach()

# Target names differ from the game's executable (also "zentravolk"); the
# files and the exported names are zentravolk and zentravolk_static.
add_library(zentravolk_shared SHARED ${zq_library_objects})
add_library(zentravolk_static STATIC ${zq_library_objects})
set_target_properties(zentravolk_shared PROPERTIES
  OUTPUT_NAME zentravolk EXPORT_NAME zentravolk
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
  LINKER_LANGUAGE CXX)
set_target_properties(zentravolk_static PROPERTIES
  OUTPUT_NAME zentravolk EXPORT_NAME zentravolk_static LINKER_LANGUAGE CXX)
foreach(lib zentravolk_shared zentravolk_static)
  target_include_directories(${lib} INTERFACE
    $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  add_dependencies(${lib} ${zq_library_modules})
endforeach()
target_link_libraries(zentravolk_shared PRIVATE SDL2::SDL2 PNG::PNG Freetype::Freetype Threads::Threads)
target_link_libraries(zentravolk_static PUBLIC SDL2::SDL2 PNG::PNG Freetype::Freetype Threads::Threads)
if(ZQ_SANITIZE STREQUAL "")
  # Every symbol the objects need must come from the libraries named above
  # (sanitizer runtimes come with the program instead).
  target_link_options(zentravolk_shared PRIVATE LINKER:--no-undefined)
endif()
add_library(zentravolk::zentravolk ALIAS zentravolk_shared)
add_library(zentravolk::zentravolk_static ALIAS zentravolk_static)

# Installation.
install(TARGETS zentravolk_shared zentravolk_static EXPORT zentravolkTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/zentravolk DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h")

set(zq_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/zentravolk)
install(EXPORT zentravolkTargets NAMESPACE zentravolk:: DESTINATION ${zq_cmake_dir})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/zentravolkConfig.cmake.in
  ${CMAKE_BINARY_DIR}/zentravolkConfig.cmake INSTALL_DESTINATION ${zq_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/zentravolkConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/zentravolkConfig.cmake ${CMAKE_BINARY_DIR}/zentravolkConfigVersion.cmake
  DESTINATION ${zq_cmake_dir})

# pkg-config: the prefix is found from the .pc file's own place, so an
# installed tree can be moved.
set(zq_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH zq_pc_to_prefix /prefix/${zq_pc_dir} /prefix)
string(REGEX REPLACE "/$" "" zq_pc_to_prefix "${zq_pc_to_prefix}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/zentravolk.pc.in ${CMAKE_BINARY_DIR}/zentravolk.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zentravolk.pc DESTINATION ${zq_pc_dir})

# The game: the program in libexec, its data in share, and a launcher in bin
# that starts it from the data folder (the game reads relative to it).
install(TARGETS zentravolk RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zentravolk)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zentravolk/data)
file(RELATIVE_PATH zq_launcher_to_prefix /prefix/${CMAKE_INSTALL_BINDIR} /prefix)
configure_file(${CMAKE_SOURCE_DIR}/cmake/zentravolk-launcher.sh.in ${CMAKE_BINARY_DIR}/zentravolk-launcher.sh
  @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/zentravolk-launcher.sh DESTINATION ${CMAKE_INSTALL_BINDIR}
  RENAME zentravolk)

install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/docs/library.md
  ${CMAKE_SOURCE_DIR}/docs/architecture.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The examples, as sources to read and copy: every one the README names.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
  FILES_MATCHING PATTERN "*.c" PATTERN "*.cpp" PATTERN "*.h")

# The reference: `cmake --build <dir> --target docs` writes HTML to
# <dir>/docs/html when Doxygen is installed; the installation writes it
# afresh and installs it.
find_program(ZQ_DOXYGEN doxygen)
if(ZQ_DOXYGEN)
  set(zq_doxygen_command ${CMAKE_COMMAND} -E env ZQ_DOCS_OUTPUT=${CMAKE_BINARY_DIR}/docs
      ZQ_DOCS_VERSION=${PROJECT_VERSION} ZQ_DOCS_WARN_AS_ERROR=NO ${ZQ_DOXYGEN} docs/Doxyfile)
  add_custom_target(docs
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/docs
    COMMAND ${zq_doxygen_command}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Writing the library reference to ${CMAKE_BINARY_DIR}/docs/html"
    VERBATIM)
  list(JOIN zq_doxygen_command "\" \"" zq_doxygen_quoted)
  install(CODE "
    file(MAKE_DIRECTORY \"${CMAKE_BINARY_DIR}/docs\")
    execute_process(COMMAND \"${zq_doxygen_quoted}\" WORKING_DIRECTORY \"${CMAKE_SOURCE_DIR}\"
                    RESULT_VARIABLE zq_doxygen_status)
    if(NOT zq_doxygen_status EQUAL 0)
      message(FATAL_ERROR \"Doxygen could not write the reference\")
    endif()")
  install(DIRECTORY ${CMAKE_BINARY_DIR}/docs/html DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # Every public declaration documented, arguments and results included:
  # the same run with warnings as failures.
  add_test(NAME docs_complete
    COMMAND ${CMAKE_COMMAND} -E env ZQ_DOCS_OUTPUT=${CMAKE_BINARY_DIR}/docs-check
            ZQ_DOCS_VERSION=${PROJECT_VERSION} ZQ_DOCS_WARN_AS_ERROR=FAIL_ON_WARNINGS ${ZQ_DOXYGEN} docs/Doxyfile
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
else()
  message(STATUS "doxygen not found: no docs target")
endif()
