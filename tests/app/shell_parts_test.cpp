// Parts of the application shell on their own: log, status bar, error hook,
// taskbar indicator and file-dialog filters.
#include "app/file_dialogs.h"
#include "app/guarded_application.h"
#include "app/status_panels.h"
#include "app/taskbar_progress.h"
#include "qt_printers.h"
#include "text/log_stamp.h"
#include "views/message_log.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTest>
#include <QTextDocument>

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kv {
namespace {

TEST(MessageLogTest, EveryLineOfAnEntryCarriesTheSameStamp) {
    MessageLog log;
    log.setPlainText("Warnung");
    const QDateTime when(QDate(2024, 12, 24), QTime(18, 5, 33));
    log.LogMessage("A\r\nB", when);
    const QStringList lines = log.toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Warnung");
    EXPECT_EQ(lines[1], logStamp(when) + "A");
    EXPECT_EQ(lines[2], logStamp(when) + "B");
    EXPECT_TRUE(log.isReadOnly());
    EXPECT_EQ(log.lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(log.objectName(), "mem");
}

TEST(MessageLogTest, NewIntroductionKeepsWhatWasLogged) {
    MessageLog log;
    log.setIntroduction("WARNING\n\n");
    const QDateTime when(QDate(2024, 12, 24), QTime(18, 5, 33));
    log.LogMessage("Parameter: -debug", when);
    log.setIntroduction(QString::fromUtf8("WICHTIG\nZweite Zeile\n\n"));
    log.LogMessage("gestartet", when);
    EXPECT_EQ(log.toPlainText(), QString::fromUtf8("WICHTIG\nZweite Zeile\n\n") + logStamp(when) +
                                     "Parameter: -debug\n" + logStamp(when) + "gestartet");
    EXPECT_EQ(log.introduction(), QString::fromUtf8("WICHTIG\nZweite Zeile\n\n"));
}

TEST(MessageLogTest, KeepsTheNewestLinesBehindTheIntroduction) {
    MessageLog log;
    const QString introduction = QString::fromUtf8("WICHTIG\nZweite Zeile\n\n");
    log.setIntroduction(introduction);
    const QDateTime when(QDate(2024, 12, 24), QTime(18, 5, 33));
    const int total = MessageLog::MaxEntryLines + 7;
    for (int i = 0; i < total - 2; ++i)
        log.LogMessage(QString::number(i), when);
    log.LogMessage("last\nlines", when); // two lines at once
    EXPECT_EQ(log.entryLines(), MessageLog::MaxEntryLines);
    const QStringList lines = log.toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3 + MessageLog::MaxEntryLines);
    EXPECT_TRUE(log.toPlainText().startsWith(introduction));
    EXPECT_EQ(lines[3], logStamp(when) + "7"); // 0 to 6 are gone
    EXPECT_EQ(lines.last(), logStamp(when) + "lines");
    EXPECT_FALSE(log.document()->isUndoAvailable());
}

TEST(StatusPanelsTest, FirstPanelTakesTheWidthLessTheTwoFixedOnes) {
    StatusPanels sb;
    sb.resize(1009, 19);
    sb.show();
    EXPECT_EQ(sb.panel(0)->width(), 1009 - 260);
    EXPECT_EQ(sb.panel(1)->width(), 160);
    EXPECT_EQ(sb.panel(2)->width(), 100);
    EXPECT_EQ(sb.panel(1)->x(), 749);
    EXPECT_EQ(sb.panel(2)->x(), 909);
    sb.resize(600, 19);
    EXPECT_EQ(sb.panel(0)->width(), 340);

    sb.setScale(1.5);
    EXPECT_EQ(sb.fixedWidth(), 390);
    EXPECT_EQ(sb.panel(0)->width(), 600 - 390);
    EXPECT_TRUE(sb.panel(1)->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(sb.panel(2)->alignment() & Qt::AlignHCenter);
    sb.setPanelText(1, "24.12.2024 18:05:33");
    EXPECT_EQ(sb.panelText(1), "24.12.2024 18:05:33");
    EXPECT_EQ(sb.panelText(7), QString());
}

class Throwing : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Division durch Null");
        if (event->type() == QEvent::User + 1)
            throw 42;
        return QObject::event(event);
    }
};

TEST(GuardedApplicationTest, ErrorsEscapingHandlersGoToTheHookAndTheLoopGoesOn) {
    QStringList reported;
    GuardedApplication::setErrorHook([&](const QString& message) { reported << message; });
    Throwing target;
    QEvent direct(QEvent::User);
    QCoreApplication::sendEvent(&target, &direct);
    QCoreApplication::postEvent(&target, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::processEvents();
    // Without a hook nothing is reported and nothing breaks.
    GuardedApplication::setErrorHook({});
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();

    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(reported[0], "Division durch Null");
    EXPECT_EQ(reported[1], GuardedApplication::unknownErrorMessage());
}

TEST(TaskbarProgressTest, LauncherPropertiesCarryFractionAndUrgency) {
    const QVariantMap error = TaskbarProgress::launcherProperties(1, 1, TaskbarState::Error);
    EXPECT_DOUBLE_EQ(error.value("progress").toDouble(), 1.0);
    EXPECT_TRUE(error.value("progress-visible").toBool());
    EXPECT_TRUE(error.value("urgent").toBool());

    const QVariantMap flashing =
        TaskbarProgress::launcherProperties(8192, 32768, TaskbarState::Normal);
    EXPECT_DOUBLE_EQ(flashing.value("progress").toDouble(), 0.25);
    EXPECT_FALSE(flashing.value("urgent").toBool());

    EXPECT_DOUBLE_EQ(TaskbarProgress::launcherProperties(0, 0, TaskbarState::Paused)
                         .value("progress")
                         .toDouble(),
                     0.0);
    EXPECT_STREQ(TaskbarProgress::ApplicationUri, "application://kestvelqor.desktop");
}

TEST(TaskbarProgressTest, KeepsTheLastValueAndStateWithOrWithoutABus) {
    TaskbarProgress taskbar;
    taskbar.SetTaskbarProgress(0, 1);
    taskbar.SetTaskbarState(TaskbarState::Paused);
    EXPECT_EQ(taskbar.completed(), 0);
    EXPECT_EQ(taskbar.total(), 1);
    EXPECT_EQ(taskbar.state(), TaskbarState::Paused);
}

TEST(DialogFolderTest, ProgramFolderWhenWritableElseDocuments) {
    QTemporaryDir unpacked;
    EXPECT_EQ(dialogFolder(unpacked.path()), unpacked.path() + '/');
    EXPECT_EQ(dialogFolder(unpacked.path() + '/'), unpacked.path() + '/');
    const QString documents =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + '/';
    EXPECT_EQ(dialogFolder("/nonexistent/kestvelqor/bin/"), documents);
}

TEST(FileFilterTest, PairsBecomeQtFilters) {
    EXPECT_EQ(qtFileFilter("KestVELQOR 1.x.12 - Konfiguration (*.ini)|*.ini"),
              "KestVELQOR 1.x.12 - Konfiguration (*.ini)");
    EXPECT_EQ(qtFileFilter("Firmware|*.chx|Alle Dateien|*.*"),
              "Firmware (*.chx);;Alle Dateien (*.*)");
    EXPECT_EQ(qtFileFilter("Bilder|*.png;*.bmp"), "Bilder (*.png *.bmp)");
    EXPECT_EQ(qtFileFilter(""), "");
}

} // namespace
} // namespace kv
