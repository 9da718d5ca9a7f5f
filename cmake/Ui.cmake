# The platform's window system, drawing, text, images and HTML viewer.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
find_package(litehtml REQUIRED)

ob_library(ob_ui PLATFORM platform/ui)
target_link_libraries(ob_ui PUBLIC ob_kernel
  PkgConfig::FREETYPE PkgConfig::FONTCONFIG PkgConfig::PIXMAN
  PkgConfig::PNG PkgConfig::JPEG litehtml ${CMAKE_DL_LIBS})
# SDL2 is opened at run time by the desktop display; only its headers are used here.
target_include_directories(ob_ui PRIVATE ${SDL2_INCLUDE_DIRS})
target_compile_options(ob_ui PRIVATE ${SDL2_CFLAGS_OTHER})

# The window framework: a thin object layer over the platform.
ob_library(ob_wnd src/wnd)
target_link_libraries(ob_wnd PUBLIC ob_ui ob_logic)

# The application: views, city lists, map, planner, weather displays,
# dialogs and the compiled-in resources.
ob_library(ob_app src/app src/dialogs resources)
target_link_libraries(ob_app PUBLIC ob_wnd ob_logic)
include(cmake/Embed.cmake)
ob_embed_resources(ob_app)
