#include "history/history_file.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

namespace kv {

namespace {

// SQLite's application id of our files ("KVHL"), in the file's header.
constexpr qint64 ApplicationId = 0x4B56484C;

const char* const Schema[] = {
    "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)",
    "CREATE TABLE boards (id INTEGER PRIMARY KEY, serial TEXT NOT NULL UNIQUE)",
    // One row per poll. Water in 0.1 °C and voltage in 0.01 V as the board
    // gives them (NULL without a value), levels 0..4096, activity bit 0 a
    // cloud, bit 1 a storm.
    "CREATE TABLE samples (board INTEGER NOT NULL, time INTEGER NOT NULL, water INTEGER, "
    "voltage INTEGER, w INTEGER NOT NULL, r INTEGER NOT NULL, g INTEGER NOT NULL, "
    "b INTEGER NOT NULL, mode INTEGER NOT NULL, activity INTEGER NOT NULL)",
    "CREATE INDEX samples_by_time ON samples (board, time)",
    // Minutes and hours, each as its samples summed up (BucketSums' compact
    // form); time is the minute's or the hour's number since the epoch.
    "CREATE TABLE minutes (board INTEGER NOT NULL, time INTEGER NOT NULL, data BLOB NOT NULL, "
    "PRIMARY KEY (board, time)) WITHOUT ROWID",
    "CREATE TABLE hours (board INTEGER NOT NULL, time INTEGER NOT NULL, data BLOB NOT NULL, "
    "PRIMARY KEY (board, time)) WITHOUT ROWID",
    // Minutes and hours whose samples changed since they were summed up.
    "CREATE TABLE dirty_minutes (board INTEGER NOT NULL, time INTEGER NOT NULL, "
    "PRIMARY KEY (board, time)) WITHOUT ROWID",
    "CREATE TABLE dirty_hours (board INTEGER NOT NULL, time INTEGER NOT NULL, "
    "PRIMARY KEY (board, time)) WITHOUT ROWID",
    "CREATE TABLE events (board INTEGER NOT NULL, time INTEGER NOT NULL, kind TEXT NOT NULL, "
    "detail TEXT NOT NULL, origin TEXT NOT NULL)",
    "CREATE INDEX events_by_time ON events (time)",
};

QString uniqueConnectionName() {
    static QAtomicInteger<int> counter;
    return QStringLiteral("kestvelqor-history-%1").arg(counter.fetchAndAddRelaxed(1));
}

bool exec(QSqlDatabase& db, const QString& statement, QVariant* value = nullptr) {
    QSqlQuery query(db);
    if (!query.exec(statement))
        return false;
    if (value && query.next())
        *value = query.value(0);
    return true;
}

// What the first bytes of a file say: a SQLite database or something else.
bool looksLikeSqlite(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

} // namespace

QString defaultHistoryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestvelqor/history.sqlite");
}

HistoryFile::HistoryFile(QSqlDatabase db, QString path)
    : db_(std::move(db)), path_(std::move(path)) {}

HistoryFile::~HistoryFile() {
    const QString name = db_.connectionName();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

std::unique_ptr<HistoryFile> HistoryFile::open(const QString& path, bool create,
                                               TextMessage* refusal) {
    const auto refuse = [&](TextMessage message) {
        if (refusal)
            *refusal = std::move(message);
        return std::unique_ptr<HistoryFile>();
    };
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo file(path);
    if (file.exists() && !file.isFile())
        return refuse({QStringLiteral("HistoryNotOurs"), {shown}});
    const bool fresh = !file.exists() || file.size() == 0;
    if (fresh && !create)
        return refuse({QStringLiteral("HistoryMissing"), {shown}});
    if (!fresh && !looksLikeSqlite(path))
        return refuse({QStringLiteral("HistoryNotOurs"), {shown}});
    if (fresh && !QDir().mkpath(file.absolutePath()))
        return refuse({QStringLiteral("HistoryCannotOpen"), {shown, file.absolutePath()}});

    // The connection lives in the history object alone, so that closing it
    // removes it.
    std::unique_ptr<HistoryFile> history(new HistoryFile(
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), uniqueConnectionName()), path));
    history->db_.setDatabaseName(path);
    history->db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!history->db_.open())
        return refuse(
            {QStringLiteral("HistoryCannotOpen"), {shown, history->db_.lastError().text()}});
    QSqlDatabase& open = history->db_;

    QVariant applicationId;
    QVariant tables;
    if (!exec(open, QStringLiteral("PRAGMA application_id"), &applicationId) ||
        !exec(open, QStringLiteral("SELECT count(*) FROM sqlite_master"), &tables))
        return refuse({QStringLiteral("HistoryNotOurs"), {shown}});
    if (applicationId.toLongLong() == 0 && tables.toLongLong() == 0) {
        // Empty: ours to make.
        if (!create)
            return refuse({QStringLiteral("HistoryMissing"), {shown}});
        bool made = open.transaction();
        for (const char* statement : Schema)
            made = made && exec(open, QString::fromLatin1(statement));
        made = made &&
               exec(open, QStringLiteral("INSERT INTO meta VALUES ('schema_version', '%1')")
                              .arg(SchemaVersion)) &&
               exec(open, QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId)) &&
               open.commit();
        if (!made) {
            open.rollback();
            return refuse({QStringLiteral("HistoryCannotOpen"), {shown, open.lastError().text()}});
        }
    } else if (applicationId.toLongLong() != ApplicationId) {
        return refuse({QStringLiteral("HistoryNotOurs"), {shown}});
    } else {
        QVariant version;
        if (!exec(open, QStringLiteral("SELECT value FROM meta WHERE key = 'schema_version'"),
                  &version) ||
            !version.isValid())
            return refuse({QStringLiteral("HistoryNotOurs"), {shown}});
        if (version.toInt() > SchemaVersion)
            return refuse({QStringLiteral("HistoryNewerVersion"), {shown, version.toInt()}});
    }
    // Readers and the one writer side by side; a batch is durable at its
    // commit, and a process killed between two loses only its batch.
    exec(open, QStringLiteral("PRAGMA journal_mode = WAL"));
    exec(open, QStringLiteral("PRAGMA synchronous = NORMAL"));
    return history;
}

qint64 HistoryFile::knownBoardId(const QString& serial) {
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT id FROM boards WHERE serial = ?"));
    query.addBindValue(serial);
    if (query.exec() && query.next())
        return query.value(0).toLongLong();
    return -1;
}

qint64 HistoryFile::boardId(const QString& serial) {
    if (const qint64 known = knownBoardId(serial); known >= 0)
        return known;
    QSqlQuery insert(db_);
    insert.prepare(QStringLiteral("INSERT INTO boards (serial) VALUES (?)"));
    insert.addBindValue(serial);
    if (!insert.exec())
        return -1;
    return insert.lastInsertId().toLongLong();
}

} // namespace kv
