# kolvar serve: the local web client, built into the kolvar program.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
find_package(nlohmann_json REQUIRED)
find_package(Threads REQUIRED)

file(GLOB_RECURSE KOLVAR_WEB_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*.html
     ${CMAKE_SOURCE_DIR}/web/*.css ${CMAKE_SOURCE_DIR}/web/*.js ${CMAKE_SOURCE_DIR}/web/*.svg)
set(KOLVAR_WEB_CPP ${CMAKE_BINARY_DIR}/generated/web_assets.cpp)
add_custom_command(
  OUTPUT ${KOLVAR_WEB_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${KOLVAR_WEB_CPP} -DDIR=${CMAKE_SOURCE_DIR}/web
          -P ${CMAKE_SOURCE_DIR}/tools/embed_web.cmake
  DEPENDS ${KOLVAR_WEB_FILES} ${CMAKE_SOURCE_DIR}/tools/embed_web.cmake
  COMMENT "Embedding the web client's pages")

file(GLOB KOLVAR_SERVE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cli/serve/*.cpp)
add_library(kolvar_serve STATIC ${KOLVAR_SERVE_SOURCES} ${KOLVAR_WEB_CPP})
target_include_directories(kolvar_serve PUBLIC ${CMAKE_SOURCE_DIR}/cli)
target_link_libraries(kolvar_serve PUBLIC kolvar kolvar_client PkgConfig::HTTPLIB nlohmann_json::nlohmann_json
                      Threads::Threads)
target_link_libraries(kolvar_cli PRIVATE kolvar_serve)
