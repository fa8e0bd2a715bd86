#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace kv {

class BoardService;

// Keeps watch over the board as the window does, for the fronts that run
// without one (`watch`, `serve`): the service polls it at its interval and
// keeps its clock in step; an unplugged board is looked for until it comes
// back, and then polled again at once. Tells what it saw in the words of
// `watch --json` and the web page's live feed.
class BoardWatch : public QObject {
    Q_OBJECT
public:
    explicit BoardWatch(BoardService& service, QObject* parent = nullptr);

    // Polls at once when a board is connected, else looks for one every
    // rescanMs until it comes.
    void start(int rescanMs);

    // Event names, as `watch --json` and the live feed give them.
    static const QString Unplugged;
    static const QString Connected;
    static const QString NoAnswer;
    static const QString OtherFirmware;

signals:
    // A poll of the board answered: its InfoBlock is fresh.
    void statusPolled();
    // Something happened to the board: one of the event names, with the
    // program's message.
    void boardEvent(const QString& name, const QString& message);
    // After every poll that reached a board, answered or not (watch --count).
    void polledBoard();

private:
    void afterPoll(bool readOk);

    BoardService& service_;
    QTimer rescan_;
};

} // namespace kv
