// GoogleTest main of the serve tests: the pictures of the API need a GUI
// application (on the offscreen platform), and the page's texts the catalogue,
// as in the program.
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
