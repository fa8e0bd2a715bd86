#include "app/main_window.h"

#include "text/product.h"

namespace kv {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmVELQOR"));
    setWindowTitle(QString::fromLatin1(product::ApplicationTitle));
    resize(1009, 655);
}

} // namespace kv
