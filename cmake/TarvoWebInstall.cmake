# The engine built for browsers, as `make web-package` installs it: the same
# layout as the desktop's package (headers under include/tarvo/, the static
# libraries, lib/cmake/Tarvo/ with Tarvo::engine), the web backend and its
# entry point in place of SDL's, and the page's sources in share/tarvo/web/.
# A game's CMakeLists.txt, unchanged, configured with emcmake against it,
# builds the game's page. Included by the root CMakeLists.txt in a browser
# build.
include(cmake/TarvoPublicHeaders.cmake)
tarvo_public_headers(TARVO_PUBLIC_HEADERS)
foreach(header ${TARVO_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION include/tarvo/${folder})
endforeach()
install(FILES include/tarvo/tarvo.h ${CMAKE_BINARY_DIR}/include/tarvo/version.h DESTINATION include/tarvo)
install(TARGETS tarvo_core tarvo_platform_web tarvo_web_main tarvo_engine EXPORT TarvoTargets
        ARCHIVE DESTINATION lib)
install(EXPORT TarvoTargets NAMESPACE Tarvo:: DESTINATION lib/cmake/Tarvo)
install(FILES ${TARVO_WEB_PAGE_FILES} DESTINATION share/tarvo/web)
include(CMakePackageConfigHelpers)
configure_file(cmake/TarvoWebConfig.cmake.in ${CMAKE_BINARY_DIR}/cmake/TarvoConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/TarvoConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/cmake/TarvoConfig.cmake ${CMAKE_BINARY_DIR}/cmake/TarvoConfigVersion.cmake
              cmake/TarvoWebPage.cmake
        DESTINATION lib/cmake/Tarvo)
