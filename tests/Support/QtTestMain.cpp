// Test entry for programs that need a Qt application object.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv)
{
    // Headless unless told otherwise (also while CTest lists the tests).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
