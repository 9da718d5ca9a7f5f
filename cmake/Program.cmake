# The clock and the weather as text (the command line's forms, and what the
# window's Copy puts on the clipboard): logic only, shared by both.
file(GLOB_RECURSE cli_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/cli/*.cpp)
set(cli_text_srcs ${cli_srcs})
list(FILTER cli_text_srcs EXCLUDE REGEX "/CommandLine\\.cpp$")
add_library(ob_cli_text STATIC ${cli_text_srcs})
target_include_directories(ob_cli_text PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(ob_cli_text PUBLIC ob_logic)
target_link_libraries(ob_app PUBLIC ob_cli_text)

# The orbelline executable: the command-line modes and, through ob_app, the window.
add_executable(orbelline src/main.cpp ${CMAKE_SOURCE_DIR}/src/cli/CommandLine.cpp)
target_include_directories(orbelline PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(orbelline PRIVATE ob_logic ob_app)
add_dependencies(orbelline weather_content)
