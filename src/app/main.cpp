#include "app/main_window.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestvelqor"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kv::product::ApplicationTitle));
    kv::LoadTextCatalogue();

    kv::MainWindow window;
    window.show();
    return app.exec();
}
