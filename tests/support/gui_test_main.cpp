// GoogleTest main of the GUI tests: the program's own application object, so
// that widgets exist and errors escaping handlers are caught as in the
// program.
#include "app/guarded_application.h"
#include "app/qt_translation.h"
#include "text/text_catalogue.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Also when CTest lists the tests, which it does without their environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kv::GuardedApplication app(argc, argv);
    kv::installQtGermanTranslation(app);
    kv::LoadTextCatalogue();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
