# Installation into a prefix (cmake --install build --prefix P) and the Debian
# package (make package). The installed program finds its downloader and its
# content from its own location; what it writes goes to the user's folders.
# The paths are spelled out rather than taken from GNUInstallDirs, whose
# multiarch library folder would hide the downloader from the program.
install(TARGETS orbelline RUNTIME DESTINATION bin)
install(TARGETS ForecastPumpCF RUNTIME DESTINATION lib/orbelline)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/weather/html ${CMAKE_SOURCE_DIR}/weather/images_1
                  ${CMAKE_SOURCE_DIR}/weather/images_2 ${CMAKE_SOURCE_DIR}/weather/images_3
        DESTINATION share/orbelline/weather)
install(FILES ${CMAKE_SOURCE_DIR}/resources/orbelline.desktop DESTINATION share/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/orbelline_${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME orbelline.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/man/orbelline.1 ${CMAKE_SOURCE_DIR}/resources/man/ForecastPumpCF.1
        DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbelline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orbelline maintainers <maintainers@orbelline.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "world clock with a day and night map, time planner and weather")
set(CPACK_PACKAGE_DESCRIPTION "Orbelline keeps a short list of cities, home first, and shows each one's\nlocal time, summer time, offset from home, dialling codes, airport, distance,\nsunrise and sunset, on a world map with the night shadow, in a time planner\nand with weather forecasts.")
# The build keeps its debugging information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Wine's Tahoma is the program's face; SDL2 is opened at run time, so the
# library scan cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, libsdl2-2.0-0")
include(CPack)
