// kestvelqorctl: the command-line tool over the program's core.
#include "cli/tool.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestvelqorctl"));
    kv::LoadTextCatalogue();
    return kv::cli::runTool(QCoreApplication::arguments().mid(1));
}
