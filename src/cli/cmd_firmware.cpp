// Firmware: checking an image file and the whole update.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "firmware/firmware_file.h"
#include "firmware/flasher.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonValue>
#include <QThread>

#include <cstdio>

namespace kv::cli {

namespace {

constexpr int DeviceWaitMs = 30000;
constexpr int RescanIntervalMs = 250;

struct CheckedFile {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

// Reads and checks the image file; on failure the program's own text.
std::optional<CheckedFile> checkFile(const QString& path, QString& error) {
    CliReporter quiet(false);
    std::vector<std::uint8_t> image(std::size_t(FirmwareLargestAddress) + 1, 0);
    CheckedFile file;
    TextMessage refusal;
    if (ReadFile(path, image, file.start, file.end, quiet, FirmwareLargestAddress, &refusal))
        return file;
    error = refusal.text();
    return std::nullopt;
}

// Runs the event loop (device notifications, the flashing) and rescans now
// and then, until done() or, while waiting() says so, the time is up.
bool waitFor(
    BoardService& board, const std::function<bool()>& done,
    const std::function<bool()>& waiting = [] { return true; }) {
    QElapsedTimer timer;
    timer.start();
    qint64 lastScan = 0;
    while (!done()) {
        if (!waiting())
            timer.restart();
        if (timer.elapsed() > DeviceWaitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (done())
            break;
        if (timer.elapsed() - lastScan >= RescanIntervalMs && !board.updateRunning()) {
            lastScan = timer.elapsed();
            board.scanNow();
        }
        QThread::msleep(2);
    }
    return true;
}

// The catalogue's question on the terminal; only "j", "ja", "y" or "yes" go on.
bool askOnTerminal() {
    QTextStream err(stderr);
    QString question = Msg(QStringLiteral("FlashDlgText"));
    question.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    err << Msg(QStringLiteral("FlashDlgCaption")) << "\n\n" << question << " [j/N] ";
    err.flush();
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer == QLatin1String("j") || answer == QLatin1String("ja") ||
           answer == QLatin1String("y") || answer == QLatin1String("yes");
}

} // namespace

int runCheckFirmware(Context& c) {
    const auto words = c.words(1, 1);
    if (!words)
        return ExitUsage;
    QString error;
    const auto file = checkFile(words->positional()[0], error);
    if (!file)
        return c.fail(ExitFailed, error);
    const qint64 bytes = qint64(file->end) - file->start + 1;
    if (c.json()) {
        c.printJson({{QStringLiteral("start"), file->start},
                     {QStringLiteral("end"), file->end},
                     {QStringLiteral("bytes"), bytes}});
        return ExitDone;
    }
    auto hex = [](std::int32_t v) {
        return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
    };
    c.out() << "Start: " << hex(file->start) << " (" << file->start << ")\n"
            << "Ende: " << hex(file->end) << " (" << file->end << ")\n"
            << "Bytes: " << bytes << '\n';
    return ExitDone;
}

int runFlash(Context& c) {
    const auto words = c.words(1, 1, {}, {"--yes"});
    if (!words)
        return ExitUsage;
    const QString path = QFileInfo(words->positional()[0]).absoluteFilePath();
    QString error;
    // A file the bootloader would refuse never sends the board into it.
    if (!checkFile(path, error))
        return c.fail(ExitFailed, error);
    const bool yes = words->flag("--yes");
    if (!c.json())
        c.reporter().setEcho(true); // progress for people, on standard error

    BoardService& board = c.service();
    bool offered = false;
    FlashInteraction interaction;
    interaction.confirmUpdate = [yes] {
        return yes || askOnTerminal();
    };
    // Only the first bootloader of this run gets the file.
    interaction.chooseFirmwareFile = [&offered, path](const FirmwareDialogSettings&) {
        if (offered)
            return QString();
        offered = true;
        return path;
    };
    board.setFirmwareInteraction(interaction);
    std::optional<Outcome> flashed;
    QObject::connect(&board, &BoardService::firmwareUpdateEnded, [&](const Outcome& outcome) {
        if (!flashed)
            flashed = outcome;
    });

    // A bootloader already on the bus is offered the file by this scan.
    board.scanNow();
    if (!offered) {
        if (!board.boardHeld())
            return c.fail(ExitNoDevice, c.args().device.isEmpty()
                                            ? MsgFmt(QStringLiteral("NoBoardOrBootloaderFound"), {})
                                            : board.problem().text());
        if (const Outcome asked = board.updateFirmware(); !asked.ok())
            return c.end(asked);
        // The board leaves; its bootloader comes and is offered the file.
        if (!waitFor(board, [&] { return offered; }))
            return c.fail(ExitFailed, MsgFmt(QStringLiteral("BootloaderDidNotAppear"), {}));
    }
    // The flashing runs from the event loop until it ends by itself.
    waitFor(
        board, [&] { return flashed.has_value(); }, [] { return false; });
    if (!flashed->ok())
        return c.end(*flashed);

    // The bootloader leaves after the reset request; wait for the board.
    if (!waitFor(board, [&] { return board.boardHeld() && !board.bootloaderHeld(); }))
        return c.fail(ExitFailed, MsgFmt(QStringLiteral("BoardDidNotReturn"), {}));
    const int version = board.info().FirmwareVersion;
    const QString backup = board.lastBackupPath();
    if (c.json()) {
        c.printJson(
            {{QStringLiteral("ok"), version == product::FirmwareVersion},
             {QStringLiteral("firmwareVersion"), version},
             {QStringLiteral("backup"), backup.isEmpty() ? QJsonValue() : QJsonValue(backup)}});
    } else {
        c.out() << Msg(QStringLiteral("FirmwareUpdateSuccessful")) << '\n'
                << "Firmware: " << version << '\n';
        if (!backup.isEmpty())
            c.out() << "Sicherung: " << backup << '\n';
    }
    if (version != product::FirmwareVersion)
        return c.fail(ExitFailed, board.problem().text());
    return ExitDone;
}

} // namespace kv::cli
