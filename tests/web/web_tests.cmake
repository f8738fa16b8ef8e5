# The page in headless Chromium: built by scripts/web, driven by puppeteer-core.
# The probe is also built here, for the machine, to compare the browser with.
add_executable(web_physics_probe ${CMAKE_CURRENT_LIST_DIR}/physics_probe.cpp)
target_link_libraries(web_physics_probe PRIVATE flopkin_figures flopkin_allocation_count)
add_test(NAME web.browser COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run_browser_test.sh $<TARGET_FILE:web_physics_probe>
  $<TARGET_FILE:flopkin_make_figure> $<TARGET_FILE:flopkin>)
set_tests_properties(web.browser PROPERTIES TIMEOUT 1200 RUN_SERIAL TRUE)
flopkin_slow_tests(web.browser)
