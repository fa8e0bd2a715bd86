#pragma once

#include "text/text_message.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace kv {

// One open history database: a SQLite file of our own (WAL, a busy timeout
// so that two processes work side by side), made with our schema when it is
// new or empty. A file that is not ours (not SQLite, another application's
// schema, a newer version of ours) is refused and never written to.
class HistoryFile {
public:
    // The schema this program writes; a later program may upgrade it.
    static constexpr int SchemaVersion = 1;
    // How long a statement waits for the other process's lock.
    static constexpr int BusyTimeoutMs = 5000;

    ~HistoryFile();
    HistoryFile(const HistoryFile&) = delete;
    HistoryFile& operator=(const HistoryFile&) = delete;

    // Opens (and, where allowed, creates) the file; nothing and the reason
    // when it cannot be used. With create false a missing file is refused.
    static std::unique_ptr<HistoryFile> open(const QString& path, bool create,
                                             TextMessage* refusal);

    QSqlDatabase& db() { return db_; }
    const QString& path() const { return path_; }

    // The id of a board in the file, added when it is new; -1 on failure.
    qint64 boardId(const QString& serial);
    // The id of a board already in the file; -1 when it has none.
    qint64 knownBoardId(const QString& serial);

private:
    HistoryFile(QSqlDatabase db, QString path);

    QSqlDatabase db_;
    QString path_;
};

// The file a process records into by default:
// $XDG_DATA_HOME/kestvelqor/history.sqlite.
QString defaultHistoryPath();

} // namespace kv
