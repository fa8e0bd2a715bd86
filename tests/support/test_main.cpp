// GoogleTest main for all test programs: a Qt core application exists for the
// whole run, so that timers, signals and resources behave as in the program.
// GUI test programs link their own main with a QApplication instead.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
