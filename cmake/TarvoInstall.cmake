# What `cmake --install` puts where, and how `cpack -G DEB` packs it: the
# game's package (tarvo) and the engine's development files (libtarvo-dev).
# Included by the root CMakeLists.txt after every target is defined, so
# relative paths are from the project's root.

# Installed like a Debian game: the game in games/, the tools in bin/, the
# pictures and sounds in share/tarvo/ (found from either as ../share/tarvo),
# manual pages, a menu entry and its icon in the hicolor theme. `cpack -G DEB`
# in the build folder makes a Debian package.
set(TARVO_INSTALL_GAMESDIR games CACHE STRING "Folder of the installed game, relative to the prefix")
install(TARGETS tarvo-replay tarvo-imgtool RUNTIME DESTINATION bin)
install(TARGETS tarvo RUNTIME DESTINATION ${TARVO_INSTALL_GAMESDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/Images DESTINATION share/tarvo FILES_MATCHING PATTERN "*.tif")
install(DIRECTORY ${CMAKE_BINARY_DIR}/Sounds DESTINATION share/tarvo FILES_MATCHING PATTERN "*.wav")
install(FILES tools/desktop/tarvo.desktop DESTINATION share/applications)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION share/icons/hicolor)

set(TARVO_MAINTAINER "Tarvo developers <tarvo@tarvo.invalid>")
# Manual pages and the changelog, compressed as Debian keeps them (-n: no
# name or time stamp inside, so the same sources give the same bytes).
configure_file(tools/debian/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
set(TARVO_COMPRESSED_DOCS "")
foreach(page tarvo.6 tarvo-replay.1 tarvo-imgtool.1)
  list(APPEND TARVO_COMPRESSED_DOCS ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/docs/man/${page} ${CMAKE_BINARY_DIR}/man/${page}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page}
    VERBATIM)
endforeach()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
  COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${CMAKE_BINARY_DIR}/doc/changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog
  VERBATIM)
add_custom_target(docs_compressed ALL DEPENDS ${TARVO_COMPRESSED_DOCS} ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/man/tarvo.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/man/tarvo-replay.1.gz ${CMAKE_BINARY_DIR}/man/tarvo-imgtool.1.gz
        DESTINATION share/man/man1)
install(FILES tools/debian/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION share/doc/tarvo)

# The engine for game developers (the dev component): headers under
# include/tarvo/, the static libraries, the CMake package and pkg-config
# files. Nothing installed names a build path, so the prefix can be moved.
include(cmake/TarvoPublicHeaders.cmake)
tarvo_public_headers(TARVO_PUBLIC_HEADERS)
foreach(header ${TARVO_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION include/tarvo/${folder} COMPONENT dev)
endforeach()
install(FILES include/tarvo/tarvo.h include/tarvo/scripted.h ${CMAKE_BINARY_DIR}/include/tarvo/version.h
        DESTINATION include/tarvo COMPONENT dev)
install(TARGETS tarvo_core tarvo_sdl_backend tarvo_main tarvo_scripted_backend tarvo_engine tarvo_scripted
        EXPORT TarvoTargets ARCHIVE DESTINATION lib COMPONENT dev)
install(EXPORT TarvoTargets NAMESPACE Tarvo:: DESTINATION lib/cmake/Tarvo COMPONENT dev)
include(CMakePackageConfigHelpers)
configure_file(cmake/TarvoConfig.cmake.in ${CMAKE_BINARY_DIR}/cmake/TarvoConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/TarvoConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/TarvoConfig.cmake ${CMAKE_BINARY_DIR}/cmake/TarvoConfigVersion.cmake
        DESTINATION lib/cmake/Tarvo COMPONENT dev)
set(TARVO_PC_LINK_OPTIONS "")
if(TARVO_SANITIZE)
  set(TARVO_PC_LINK_OPTIONS "-fsanitize=address,undefined")
endif()
foreach(pc tarvo tarvo-scripted)
  configure_file(cmake/${pc}.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${pc}.pc DESTINATION lib/pkgconfig COMPONENT dev)
endforeach()
install(FILES tools/debian/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz docs/engine.md
        DESTINATION share/doc/libtarvo-dev COMPONENT dev)

set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TARVO_MAINTAINER})
# Each package's description starts with its summary line (a package-wide
# summary would be put before both).
set(CPACK_DEBIAN_GAME_DESCRIPTION "top-down space shooter on a small software-rendered 2D engine
Fly a ship through a walled arena and fight three enemy ships that come back
after they are destroyed, with health pick-ups appearing from time to time.
Arrow keys turn and thrust, Space fires; a game controller works too.

The game draws every frame in software on its own small 2D engine and shows
it in a window through SDL2. Its pictures and sound effects are generated
from code when it is built. Two tools come with it: tarvo-replay runs the
game from a key script (as recorded with tarvo --record) and prints its
state frame by frame, and tarvo-imgtool shows what the engine's TIFF codec
makes of a picture.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the font is read
# at run time, so it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Two packages: the game (tarvo, as above) and the engine for developers.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game dev)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME tarvo)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libtarvo-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# Static libraries: nothing for dpkg-shlibdeps; what a game links with them is
# SDL2's development packages.
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libsdl2-dev, libsdl2-ttf-dev, libsdl2-mixer-dev, libx11-dev")
set(CPACK_DEBIAN_DEV_PACKAGE_RECOMMENDS "pkg-config, cmake")
set(CPACK_DEBIAN_DEV_DESCRIPTION "small software-rendered 2D game engine (development files)
Tarvo draws every frame in software into a 16-bit back buffer: keyed,
alpha-blended, additive, tiled and rotated sprites, text, and pictures read
from TIFF files. SDL2 opens the window, delivers keys and mouse, plays sound
effects and shows the finished frame. A game defines initialize() and run().

This package holds the headers (<tarvo/tarvo.h>), the static libraries, the
CMake package (find_package(Tarvo): Tarvo::engine, Tarvo::scripted for
headless tests) and the pkg-config files tarvo and tarvo-scripted.")
include(CPack)
