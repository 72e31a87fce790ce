// Linked into every test program: points the library at the build tree's
// setup data and Qt at the offscreen platform before main() runs, so a test
// behaves the same under ctest and when started by hand.
#include <cstdlib>

namespace {
struct TestEnvironment {
    TestEnvironment() {
        setenv("XDG_CONFIG_DIRS", LATTIX_TEST_XDG_DIR, 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
        setenv("LATTIX_TEST_DATA", LATTIX_TEST_DATA_DIR, 0);
        setenv("LATTIX_SOURCE_DIR", LATTIX_SOURCE_DIR_PATH, 0);
    }
};
const TestEnvironment testEnvironment;
}  // namespace
