// Test main for widget tests: offscreen Qt platform, one QApplication, then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // No test needs a display; the environment may still ask for another platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Nothing a test starts may appear on the desktop's own session bus; the tests that need a
    // bus get a private one (tests/support/with_session_bus.sh).
    if (!getenv("CORVANE_TEST_SESSION_BUS"))
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/corvane-test-bus", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
