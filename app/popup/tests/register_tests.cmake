# Registers the popup tests with ctest; included from the top directory (see CMakeLists.txt beside this file).
# Listing the tests happens when ctest runs (PRE_TEST): a build step of a target from another directory cannot
# be added here.
include(GoogleTest)
gtest_discover_tests(app_popup_tests
    TEST_FILTER "WindowFeatures.*"
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60)
# Real windows and WebKit processes on the shared display. Under AddressSanitizer the leak check skips what
# the system libraries keep for the life of the process (see lsan.supp).
gtest_discover_tests(app_popup_tests
    TEST_FILTER "-WindowFeatures.*"
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS gui RESOURCE_LOCK display
        ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:fast_unwind_on_malloc=0:print_suppressions=0"
    DISCOVERY_TIMEOUT 60)
