// Firmware: checking an image file and the whole update.
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "device/board_link.h"
#include "device/device_session.h"
#include "device/discovery.h"
#include "device/hid_controller.h"
#include "firmware/firmware_file.h"
#include "firmware/flasher.h"
#include "sim/simulation.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonValue>
#include <QRegularExpression>
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
    if (ReadFile(path, image, file.start, file.end, quiet))
        return file;
    error = quiet.lastAnnounced();
    if (error.isEmpty()) // the one refusal without a text of its own
        error = QString::fromUtf8("Fehler: Datei ist größer als %1 Bytes!")
                    .arg(FirmwareLargestAddress + 1);
    return std::nullopt;
}

// Runs the event loop (device notifications) and rescans now and then, until
// done() or the time is up.
bool waitFor(DeviceSession& session, const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    qint64 lastScan = 0;
    while (!done()) {
        if (timer.elapsed() > DeviceWaitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (done())
            break;
        if (timer.elapsed() - lastScan >= RescanIntervalMs) {
            lastScan = timer.elapsed();
            session.controller().scanNow();
        }
        QThread::msleep(10);
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

    DeviceSession& session = c.session();
    Discovery& discovery = session.discovery();
    std::optional<bool> flashed;
    QString flashError; // why the flashing failed, in the program's words
    bool declined = false;
    Flasher flasher(discovery, session.link(), c.reporter(),
                    FlashInteraction{[&] {
                                         if (yes || askOnTerminal())
                                             return true;
                                         declined = true;
                                         return false;
                                     },
                                     [&](const FirmwareDialogSettings&) { return path; },
                                     [](int ms) { QThread::msleep(ms); }, nullptr});
    if (sim::Simulation* simulation = c.simulation())
        QObject::connect(&flasher, &Flasher::boardEnteringBootloader,
                         [simulation] { simulation->enterBootloaderOnNextSave(); });
    discovery.firmwareOffer = [&](BootloaderKind) {
        // Only the first bootloader of this run gets the file.
        if (flashed)
            return;
        const qsizetype before = c.reporter().announced().size();
        flashed = flasher.WriteFlash(path);
        if (!*flashed) {
            const QStringList texts = c.reporter().announced().mid(before);
            const QStringList errors = texts.filter(QRegularExpression(QStringLiteral("^Fehler")));
            flashError = errors.isEmpty() ? texts.value(texts.size() - 1) : errors.first();
        }
    };

    session.controller().scanNow(true);
    if (!flashed) {
        if (!discovery.boardDevice())
            return c.fail(ExitNoDevice,
                          c.args().device.isEmpty()
                              ? QStringLiteral("no KestVELQOR board or bootloader found")
                              : c.noBoardText());
        flasher.updateFirmware();
        if (declined)
            return c.fail(ExitFailed, QStringLiteral("update cancelled"));
        if (!waitFor(session, [&] { return flashed.has_value(); }))
            return c.fail(ExitFailed, QStringLiteral("the board's bootloader did not appear"));
    }
    if (!*flashed)
        return c.fail(ExitFailed, flashError);

    // The bootloader leaves after the reset request; wait for the board.
    if (!waitFor(session, [&] {
            return discovery.boardDevice() != nullptr && !discovery.bootloaderDevice();
        }))
        return c.fail(ExitFailed, QStringLiteral("the board did not come back after the update"));
    const int version = session.link().info.FirmwareVersion;
    if (c.json()) {
        const QString backup = flasher.lastBackupPath();
        c.printJson(
            {{QStringLiteral("ok"), version == product::FirmwareVersion},
             {QStringLiteral("firmwareVersion"), version},
             {QStringLiteral("backup"), backup.isEmpty() ? QJsonValue() : QJsonValue(backup)}});
    } else {
        c.out() << Msg(QStringLiteral("FirmwareUpdateSuccessful")) << '\n'
                << "Firmware: " << version << '\n';
        if (!flasher.lastBackupPath().isEmpty())
            c.out() << "Sicherung: " << flasher.lastBackupPath() << '\n';
    }
    if (version != product::FirmwareVersion)
        return c.fail(ExitFailed, discovery.boardProblem());
    return ExitDone;
}

} // namespace kv::cli
