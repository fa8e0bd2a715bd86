// The File menu's commands with their dialogs, against the simulated board.
#include "window_test_support.h"

#include "firmware/flasher.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace kv::testing {
namespace {

class FileCommandsTest : public WindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString path(const QString& name) const { return folder.filePath(name); }
    static void writeText(const QString& file, const QByteArray& text) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    }
    static QByteArray readText(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    QTemporaryDir folder;
};

TEST_F(FileCommandsTest, ExportReadsTheBoardAsksForAFileAndWritesIt) {
    startConnected(2);
    saveAnswer = path("board.ini");
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);

    ASSERT_EQ(dialogRequests.size(), 1u);
    const FileDialogRequest& request = dialogRequests[0];
    EXPECT_EQ(request.title, "Zeitplan und Konfiguration exportieren nach...");
    EXPECT_EQ(request.filter, "KestVELQOR 1.x.12 - Konfiguration (*.ini)|*.ini");
    EXPECT_EQ(request.folder, window->dialogFolder());
    EXPECT_TRUE(request.proposedFile.isEmpty());
    EXPECT_EQ(request.defaultSuffix, ".ini");

    EXPECT_FALSE(reads(1).empty());
    EXPECT_EQ(reads(2).size(), 1u);
    EXPECT_EQ(reads(3).size(), board().schedule().size());
    const QByteArray text = readText(saveAnswer);
    EXPECT_TRUE(text.contains("[Config]"));
    EXPECT_TRUE(text.contains("Mode=2"));
    EXPECT_TRUE(text.contains("[0]"));
}

TEST_F(FileCommandsTest, CancelledExportStillReadsButWritesNoFile) {
    startConnected(0);
    saveAnswer.clear();
    window->menu().mnuScheduleConfigExport->trigger();
    EXPECT_EQ(dialogRequests.size(), 1u);
    EXPECT_EQ(reads(2).size(), 1u);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(FileCommandsTest, ConfigurationImportWritesTheFileToTheBoard) {
    startConnected(0);
    openAnswer = path("geo.ini");
    writeText(openAnswer, "[Config]\nMode=2\n");
    QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
    ASSERT_EQ(dialogRequests.size(), 1u);
    EXPECT_EQ(dialogRequests[0].title, "Konfiguration importieren von...");
    EXPECT_EQ(board().info().Mode, 2);
    EXPECT_EQ(writes(2).size(), 1u);
    // The window shows the new mode at once.
    EXPECT_EQ(window->statusPanels()->panelText(2).left(3), "Geo");
}

TEST_F(FileCommandsTest, ConfigurationImportLeavesTheLogForThePageOfTheNewMode) {
    startConnected(0);
    window->switchToTab(window->page("tsMessages"));
    openAnswer = path("geo.ini");
    writeText(openAnswer, "[Config]\nMode=2\n");
    QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
    // The dialog came up over the log; the import then showed the Geo page.
    EXPECT_EQ(tabsAtDialog.back(), "tsMessages");
    EXPECT_EQ(currentTabName(), "tsGeo");
}

TEST_F(FileCommandsTest, ScheduleImportRefillsTheGridAndWritesTheSchedule) {
    startConnected(1);
    QSignalSpy refills(&window->views(), &ViewSet::scheduleShown);
    openAnswer = path("day.ini");
    writeText(openAnswer, "[0]\nHour=7\nMinute=45\n");
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_EQ(dialogRequests.size(), 1u);
    EXPECT_EQ(dialogRequests[0].title, "Zeitplan importieren von...");
    EXPECT_EQ(refills.count(), 1);
    ASSERT_FALSE(board().schedule().empty());
    EXPECT_EQ(board().schedule()[0].Hour, 7);
    EXPECT_EQ(board().schedule()[0].Minute, 45);
}

TEST_F(FileCommandsTest, CancelledImportChangesNothing) {
    startConnected(0);
    openAnswer.clear();
    window->menu().mnuConfigImport->trigger();
    window->menu().mnuScheduleImport->trigger();
    EXPECT_EQ(dialogRequests.size(), 2u);
    EXPECT_TRUE(board().transfers().empty());
}

TEST_F(FileCommandsTest, FirmwareUpdateAnsweredNoSendsNothing) {
    startConnected(0);
    service().setBackupFolder(folder.path());
    confirmAnswer = false;
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].startsWith("Firmware aktualisieren|Das Aktualisieren der Firmware"));
    EXPECT_EQ(board().saveRequests(), 0);
}

TEST_F(FileCommandsTest, ClaimedBootloaderIsOfferedAFirmwareFile) {
    startConnected(0);
    service().setBackupFolder(folder.path());
    sim().setEnterBootloaderOnSave(true);
    confirmAnswer = true;
    openAnswer.clear(); // the user cancels the file choice
    window->menu().mnuFirmwareUpdate->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialogRequests.empty(); }, 5000));
    const FileDialogRequest& request = dialogRequests.back();
    EXPECT_EQ(request.title, QString::fromUtf8("KestVELQOR 1.x - Firmwaredatei wählen"));
    EXPECT_TRUE(request.proposedFile.endsWith("KestVELQOR1x12.chx"));
    EXPECT_TRUE(logText().contains("] KestVELQOR 1.x - Bootloader erkannt"));
    EXPECT_EQ(tabsAtDialog.back(), "tsMessages");
    EXPECT_TRUE(logText().contains("] Reset..."));
}

} // namespace
} // namespace kv::testing
