#pragma once

#include <QMainWindow>

namespace kv {

// The program's one main window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};

} // namespace kv
