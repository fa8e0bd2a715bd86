#include "text/product.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

const char* const Usage =
    "Usage: kestvelqorctl [--simulate] [--json] COMMAND [ARGS]\n"
    "\n"
    "Command-line companion of the KestVELQOR aquarium-light controller.\n"
    "\n"
    "Options:\n"
    "  --help       show this help\n"
    "  --version    show the program version\n";

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    kv::LoadTextCatalogue();
    QTextStream out(stdout);
    QTextStream err(stderr);

    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.contains(QStringLiteral("--version"))) {
        out << "kestvelqorctl " << kv::product::ApplicationTitle << '\n';
        return 0;
    }
    if (args.isEmpty() || args.contains(QStringLiteral("--help"))) {
        out << Usage;
        return args.isEmpty() ? 2 : 0;
    }
    err << "kestvelqorctl: unknown command: " << args.first() << '\n';
    return 2;
}
