# The replay page, built by npm from the lockfile into web/dist/replay.html and copied beside the
# arena, which looks for it there. Only with -DVOLANKO_WEB=ON: playing never needs Node.js.

find_program(VOLANKO_NODE node)
find_program(VOLANKO_NPM npm)
if(NOT VOLANKO_NODE OR NOT VOLANKO_NPM)
  message(FATAL_ERROR "VOLANKO_WEB needs Node.js 20.19 or newer and npm on the PATH; "
                      "configure without -DVOLANKO_WEB=ON to build everything but the replay page")
endif()
execute_process(COMMAND ${VOLANKO_NODE} --version OUTPUT_VARIABLE node_version OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "^v" "" node_version "${node_version}")
if(node_version VERSION_LESS 20.19)
  message(FATAL_ERROR "VOLANKO_WEB needs Node.js 20.19 or newer; ${VOLANKO_NODE} is ${node_version}")
endif()

set(web ${PROJECT_SOURCE_DIR}/web)
file(GLOB web_sources CONFIGURE_DEPENDS ${web}/src/*)
add_custom_command(
  OUTPUT ${web}/dist/replay.html
  COMMAND ${VOLANKO_NPM} ci --no-audit --no-fund
  COMMAND ${VOLANKO_NPM} run build
  WORKING_DIRECTORY ${web}
  DEPENDS ${web_sources} ${web}/replay.html ${web}/vite.config.js ${web}/pitch.mjs ${web}/package.json
    ${web}/package-lock.json ${PROJECT_SOURCE_DIR}/runtime/include/runtime/pitch.h
  COMMENT "Building the replay page with npm"
  VERBATIM)
add_custom_command(
  OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/replay.html
  COMMAND ${CMAKE_COMMAND} -E copy ${web}/dist/replay.html ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/replay.html
  DEPENDS ${web}/dist/replay.html
  VERBATIM)
add_custom_target(replay_page ALL DEPENDS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/replay.html)
