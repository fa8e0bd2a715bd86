#pragma once

#include <QObject>
#include <QString>

namespace kv {
class BoardService;
}

namespace kv::web {

// The board a server speaks for, by its USB serial number, also while it is
// unplugged: the history and the metrics go on naming the same tank.
class ServedBoard : public QObject {
    Q_OBJECT
public:
    explicit ServedBoard(BoardService& service, QObject* parent = nullptr);

    // The connected board's serial number, else the one last connected in
    // this process; empty before any board connected. A board that gives no
    // serial number is "unknown", as the history records it.
    QString serial() const { return serial_; }

private:
    void remember();

    BoardService& service_;
    QString serial_;
};

} // namespace kv::web
