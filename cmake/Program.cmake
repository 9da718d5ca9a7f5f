# The orbelline executable: the command-line modes and, through ob_app, the window.
file(GLOB_RECURSE cli_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/cli/*.cpp)
add_executable(orbelline src/main.cpp ${cli_srcs})
target_include_directories(orbelline PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(orbelline PRIVATE ob_logic ob_app)
add_dependencies(orbelline weather_content)
