# Tests of `kolvar serve` run by node: the API (plain node), the screens in
# headless Chromium through puppeteer-core (installed from npm into the build
# tree, pinned by package-lock.json), and a bounded load test.
find_program(KOLVAR_NODE node)
find_program(KOLVAR_NPM npm)
find_program(KOLVAR_CHROMIUM NAMES chromium chromium-browser)
set(KOLVAR_WEB_TESTS ${CMAKE_SOURCE_DIR}/tests/web)

if(NOT KOLVAR_NODE)
  message(WARNING "node is missing: the web client's tests are NOT run (install nodejs)")
  add_test(NAME web_tests_skipped COMMAND ${CMAKE_COMMAND} -E echo
           "SKIPPED: node is missing, the web client's tests did not run")
  return()
endif()

add_test(NAME web_api COMMAND ${KOLVAR_NODE} ${KOLVAR_WEB_TESTS}/api.test.mjs
         --kolvar $<TARGET_FILE:kolvar_cli> --long-imports $<IF:$<BOOL:${KOLVAR_SANITIZE}>,0,1>)
set_tests_properties(web_api PROPERTIES LABELS web TIMEOUT 120)
# The same on a user database on the test server: skipped (77) without one
# unless KOLVAR_REQUIRE_PG=1.
add_test(NAME web_api_pg COMMAND ${KOLVAR_NODE} ${KOLVAR_WEB_TESTS}/api.test.mjs
         --kolvar $<TARGET_FILE:kolvar_cli> --long-imports $<IF:$<BOOL:${KOLVAR_SANITIZE}>,0,1>
         --engine server)
set_tests_properties(web_api_pg PROPERTIES LABELS web TIMEOUT 120 SKIP_RETURN_CODE 77)

# The browser and load tests drive the optimised program only.
if(KOLVAR_SANITIZE)
  return()
endif()
if(NOT KOLVAR_NPM OR NOT KOLVAR_CHROMIUM)
  message(WARNING "npm or chromium is missing: the browser tests are NOT run")
  add_test(NAME web_browser_skipped COMMAND ${CMAKE_COMMAND} -E echo
           "SKIPPED: npm or chromium is missing, the browser tests did not run")
  return()
endif()

set(KOLVAR_WEB_MODULES ${CMAKE_BINARY_DIR}/web-tests)
add_custom_command(
  OUTPUT ${KOLVAR_WEB_MODULES}/node_modules/.package-lock.json
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KOLVAR_WEB_MODULES}
  COMMAND ${CMAKE_COMMAND} -E copy ${KOLVAR_WEB_TESTS}/package.json ${KOLVAR_WEB_TESTS}/package-lock.json
          ${KOLVAR_WEB_MODULES}
  COMMAND ${KOLVAR_NPM} ci --prefix ${KOLVAR_WEB_MODULES} --no-audit --no-fund --ignore-scripts
          --loglevel=error
  DEPENDS ${KOLVAR_WEB_TESTS}/package.json ${KOLVAR_WEB_TESTS}/package-lock.json
  COMMENT "Installing puppeteer-core from npm into the build tree")
add_custom_target(web_test_modules ALL DEPENDS ${KOLVAR_WEB_MODULES}/node_modules/.package-lock.json)

add_test(NAME web_browser COMMAND ${KOLVAR_NODE} ${KOLVAR_WEB_TESTS}/browser.test.mjs
         --kolvar $<TARGET_FILE:kolvar_cli> --modules ${KOLVAR_WEB_MODULES}/node_modules
         --chromium ${KOLVAR_CHROMIUM} --out ${CMAKE_BINARY_DIR}/web-screens)
set_tests_properties(web_browser PROPERTIES LABELS "web;browser" TIMEOUT 300 RUN_SERIAL TRUE)
add_test(NAME web_browser_pg COMMAND ${KOLVAR_NODE} ${KOLVAR_WEB_TESTS}/browser.test.mjs
         --kolvar $<TARGET_FILE:kolvar_cli> --modules ${KOLVAR_WEB_MODULES}/node_modules
         --chromium ${KOLVAR_CHROMIUM} --out ${CMAKE_BINARY_DIR}/web-screens-pg --engine server)
set_tests_properties(web_browser_pg PROPERTIES LABELS "web;browser" TIMEOUT 300 RUN_SERIAL TRUE
                     SKIP_RETURN_CODE 77)

add_test(NAME web_load COMMAND ${KOLVAR_NODE} ${KOLVAR_WEB_TESTS}/load.test.mjs
         --kolvar $<TARGET_FILE:kolvar_cli> --seconds 30 --clients 50)
set_tests_properties(web_load PROPERTIES LABELS "web;load" TIMEOUT 180 RUN_SERIAL TRUE)
