# The dialogs on the real common controls, shown through the staged plug-in.
# They open windows, so they need an X display (scripts/test.sh starts Xvfb).
add_executable(dialog_tests DialogTests.cpp DialogDriver.cpp)
target_link_libraries(dialog_tests PRIVATE vlexif_plugin wine_test_support comctl32)
add_dependencies(dialog_tests test_stages)
gtest_discover_tests(dialog_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  TEST_PREFIX dialogs. PROPERTIES TIMEOUT 120)

# Opens one dialog for scripts/screenshots.sh to capture.
add_executable(dialog_shots DialogShots.cpp DialogDriver.cpp)
target_link_libraries(dialog_shots PRIVATE vlexif_plugin wine_test_support comctl32)
add_dependencies(dialog_shots test_stages)
