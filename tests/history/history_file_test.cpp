#include "history/history_file.h"
#include "support/file_text.h"
#include "text/text_catalogue.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::testing;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A SQLite file another program made.
void makeForeignDatabase(const QString& path, const QString& statement) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
}

class HistoryFileTest : public ::testing::Test {
protected:
    void SetUp() override { LoadTextCatalogue(); }
    QString path(const QString& name = "history.sqlite") { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(HistoryFileTest, ANewFileGetsTheSchemaAndOpensAgain) {
    TextMessage refusal;
    {
        auto file = HistoryFile::open(path("sub/history.sqlite"), true, &refusal);
        ASSERT_TRUE(file) << refusal.text().toStdString();
        EXPECT_EQ(file->boardId("SIM-0001"), file->boardId("SIM-0001"));
        EXPECT_NE(file->boardId("SIM-0001"), file->boardId("SIM-0002"));
        QSqlQuery mode(file->db());
        ASSERT_TRUE(mode.exec("PRAGMA journal_mode") && mode.next());
        EXPECT_EQ(mode.value(0).toString(), "wal");
    }
    auto again = HistoryFile::open(path("sub/history.sqlite"), false, &refusal);
    ASSERT_TRUE(again);
    EXPECT_GE(again->knownBoardId("SIM-0002"), 0);
    EXPECT_EQ(again->knownBoardId("SIM-0003"), -1);
    // A reader never makes a file.
    EXPECT_FALSE(HistoryFile::open(path("none.sqlite"), false, &refusal));
    EXPECT_EQ(refusal.text(), "Keine Verlaufsdatei unter " + path("none.sqlite"));
    EXPECT_FALSE(QFile::exists(path("none.sqlite")));
}

TEST_F(HistoryFileTest, FilesThatAreNotOursAreRefusedAndLeftAsTheyAre) {
    writeText(path("text.sqlite"), "aquarium notes\n");
    makeForeignDatabase(path("other.sqlite"), "CREATE TABLE fish (name TEXT)");
    {
        auto ours = HistoryFile::open(path("newer.sqlite"), true, nullptr);
        ASSERT_TRUE(ours);
        QSqlQuery newer(ours->db());
        ASSERT_TRUE(newer.exec("UPDATE meta SET value = '7' WHERE key = 'schema_version'"));
    }
    for (const QString name : {"text.sqlite", "other.sqlite", "newer.sqlite"}) {
        const QByteArray before = bytesOf(path(name));
        TextMessage refusal;
        EXPECT_FALSE(HistoryFile::open(path(name), true, &refusal)) << name.toStdString();
        const QString expected =
            name == "newer.sqlite"
                ? QString::fromUtf8("Die Verlaufsdatei %1 stammt von einer neueren Version des "
                                    "Programms (Schema 7) und bleibt unverändert")
                : QString::fromUtf8("Die Datei %1 ist keine Verlaufsdatei von KestVELQOR und "
                                    "bleibt unverändert");
        EXPECT_EQ(refusal.text(), expected.arg(path(name)));
        EXPECT_EQ(bytesOf(path(name)), before) << name.toStdString();
    }
    // A folder where the file should be.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.sqlite"));
    EXPECT_FALSE(HistoryFile::open(path("folder.sqlite"), true, nullptr));
}

TEST_F(HistoryFileTest, AFolderThatCannotBeMadeGivesNoHistory) {
    // Below a file: no folder can be made there, not even by root.
    writeText(path("blocker"), "x");
    TextMessage refusal;
    EXPECT_FALSE(HistoryFile::open(path("blocker/kestvelqor/history.sqlite"), true, &refusal));
    EXPECT_TRUE(refusal.text().startsWith("Die Verlaufsdatei")) << refusal.text().toStdString();
    EXPECT_TRUE(refusal.text().endsWith("es wird kein Verlauf aufgezeichnet"));
}
