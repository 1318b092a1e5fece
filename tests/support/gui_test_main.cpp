// Entry point for widget tests: one QApplication for the whole program.
#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv) {
    // The offscreen platform lets widget tests run on machines without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
