# Installation into a prefix (cmake --install build --prefix P) and the Debian
# package (make package). The installed program finds its downloader and its
# content from its own location; what it writes goes to the user's folders.
# The paths are spelled out rather than taken from GNUInstallDirs, whose
# multiarch library folder would hide the downloader from the program.
install(TARGETS orbelline RUNTIME DESTINATION bin)
install(TARGETS ForecastPumpCF RUNTIME DESTINATION lib/orbelline)
# A stripped install (the package's) also drops the compilers' notes, as
# Debian's own packages do.
foreach(binary bin/orbelline lib/orbelline/ForecastPumpCF)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${binary}\" COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/weather/html ${CMAKE_SOURCE_DIR}/weather/images_1
                  ${CMAKE_SOURCE_DIR}/weather/images_2 ${CMAKE_SOURCE_DIR}/weather/images_3
        DESTINATION share/orbelline/weather)
install(FILES ${CMAKE_SOURCE_DIR}/resources/org.orbelline.Orbelline.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/org.orbelline.Orbelline.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/orbelline_${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME orbelline.png)
endforeach()

# Manual pages and the changelog are installed compressed, as Debian has them:
# gzip -9n, so the package does not change with the time it was built.
set(ORBELLINE_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(compressed)
foreach(source resources/man/orbelline.1 resources/man/ForecastPumpCF.1 resources/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(copy ${ORBELLINE_PACKAGE_DIR}/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/${source} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND compressed ${copy}.gz)
endforeach()
add_custom_target(package_files ALL DEPENDS ${compressed})
install(FILES ${ORBELLINE_PACKAGE_DIR}/orbelline.1.gz ${ORBELLINE_PACKAGE_DIR}/ForecastPumpCF.1.gz
        DESTINATION share/man/man1)
install(FILES ${ORBELLINE_PACKAGE_DIR}/changelog.gz ${CMAKE_SOURCE_DIR}/resources/debian/copyright
        DESTINATION share/doc/orbelline)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/lintian-overrides
        DESTINATION share/lintian/overrides RENAME orbelline)

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
# The libraries the binaries link come from dpkg-shlibdeps, which CPack runs on
# them; this list adds what that scan cannot see: Wine's Tahoma is the
# program's face, SDL2 is opened at run time, and tzdata is the time zone
# database the clocks read through cctz. libcctz2 is named here as well, so
# the package asks for it however the program was linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wine, libsdl2-2.0-0, tzdata, libcctz2")
include(CPack)
