# The command line's part above the app: the modes' runner and the window's
# options. Everything else in src/cli is the clock and the weather as text
# (the command line's forms, and what the window's Copy puts on the
# clipboard): logic only, shared by both.
set(cli_srcs ${CMAKE_SOURCE_DIR}/src/cli/CommandLine.cpp ${CMAKE_SOURCE_DIR}/src/cli/WindowOptions.cpp)
file(GLOB_RECURSE cli_text_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/cli/*.cpp)
list(REMOVE_ITEM cli_text_srcs ${cli_srcs})
add_library(ob_cli_text STATIC ${cli_text_srcs})
target_include_directories(ob_cli_text PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(ob_cli_text PUBLIC ob_logic)
target_link_libraries(ob_app PUBLIC ob_cli_text)

add_library(ob_cli STATIC ${cli_srcs})
target_include_directories(ob_cli PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(ob_cli PUBLIC ob_app ob_cli_text ob_logic)

# The orbelline executable: the command-line modes and, through ob_app, the window.
add_executable(orbelline src/main.cpp)
target_link_libraries(orbelline PRIVATE ob_cli)
add_dependencies(orbelline weather_content)
