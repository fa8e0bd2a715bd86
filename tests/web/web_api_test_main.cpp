// GoogleTest main of the API tests: the pictures need a GUI application (on
// the offscreen platform), and the refusals the program's text catalogue.
#include "text/text_catalogue.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::LoadTextCatalogue();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
