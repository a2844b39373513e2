#include <QGuiApplication>

#include <gtest/gtest.h>

// The editor measures fonts and paints pictures, which needs a GUI application (on the
// offscreen platform in the test runs).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
