#include "settings/settings_file.h"

#include "common/regular_file.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <SimpleIni.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace kv {

SettingsDialogSettings settingsDialogSettings(SettingsCommand command) {
    SettingsDialogSettings settings;
    switch (command) {
    case SettingsCommand::Export:
        settings.title = Msg(QStringLiteral("ExportScheduleConfig"));
        break;
    case SettingsCommand::ImportConfig:
        settings.title = Msg(QStringLiteral("ImportConfig"));
        break;
    case SettingsCommand::ImportSchedule:
        settings.title = Msg(QStringLiteral("ImportSchedule"));
        break;
    }
    settings.filter =
        MsgFmt(QStringLiteral("VELQORConfig"), {QString::fromLatin1(product::ApplicationTitle)}) +
        QStringLiteral(" (*.ini)|*.ini");
    settings.defaultExtension = QStringLiteral(".ini");
    return settings;
}

namespace {

// One key of the file bound to one record field: how to read the field as a
// number and how to store a number into it (keeping the field's low bits).
struct Key {
    const char* name;
    std::function<long(void)> get;
    std::function<void(long)> set;
};

template <typename Field> Key bind(const char* name, Field& field) {
    return {name, [&field] { return long(field); },
            [&field](long value) {
                // Low 8 or 16 bits of whatever the file says.
                using Unsigned = std::make_unsigned_t<Field>;
                field = static_cast<Field>(static_cast<Unsigned>(value));
            }};
}

struct Section {
    const char* name;
    std::vector<Key> keys;
};

// The configuration sections in the order they are written.
std::vector<Section> configSections(InfoBlock& info, ExpertBlock& expert) {
    std::vector<Section> sections;
    sections.push_back({"Config",
                        {bind("Mode", info.Mode),
                         bind("FanLow", info.FanLow),
                         bind("FanHigh", info.FanHigh),
                         bind("FanOff", expert.FanOff),
                         bind("FanMode", expert.FanMode),
                         bind("TempWaterLow", expert.TempWaterLow),
                         bind("TempWaterHigh", expert.TempWaterHigh),
                         bind("LCDBLMin", info.LCDBLMin),
                         bind("LCDBLMax", info.LCDBLMax),
                         bind("TimeLapse", info.TimeLapse),
                         bind("Lat", expert.Lat),
                         bind("Lon", expert.Lon),
                         bind("JMPMode", expert.JMPMode),
                         bind("TempJMPLow", expert.TempJMPLow),
                         bind("TempJMPHigh", expert.TempJMPHigh),
                         bind("ChartMode", expert.ChartMode),
                         bind("ChartInterval", expert.ChartInterval),
                         bind("ChartScale", expert.ChartScale),
                         bind("TWIBitrate", expert.TWIBitrate),
                         bind("LCDBLNight", expert.LCDBLNight),
                         bind("TempOffset", expert.TempOffset),
                         bind("CloudTempWater", expert.CloudTempWater),
                         bind("BalanceSumRamp", expert.BalanceSumRamp)}});

    Section weather{"Weather",
                    {bind("CloudP", info.CloudP), bind("CloudD", info.CloudD),
                     bind("StormP", info.StormP), bind("StormD", info.StormD),
                     bind("CloudStep", expert.CloudStep), bind("StormStep", expert.StormStep),
                     bind("CloudAlpha", expert.CloudAlpha), bind("StormAlpha", expert.StormAlpha),
                     bind("LightningP", expert.LightningP)}};
    static const char* const moon[] = {"MoonColor0", "MoonColor1", "MoonColor2", "MoonColor3"};
    static const char* const delay[] = {"WeatherDelay0", "WeatherDelay1", "WeatherDelay2",
                                        "WeatherDelay3"};
    static const char* const mask[] = {"LightningMask0", "LightningMask1", "LightningMask2",
                                       "LightningMask3"};
    for (std::size_t n = 0; n < 4; ++n) {
        weather.keys.push_back(bind(moon[n], expert.MoonColor[n]));
        weather.keys.push_back(bind(delay[n], expert.WeatherDelay[n]));
        weather.keys.push_back(bind(mask[n], expert.LightningMask[n]));
    }
    weather.keys.push_back(bind("BalanceSum", expert.BalanceSum));
    sections.push_back(std::move(weather));

    static const char* const names[] = {"ColorName0", "ColorName1", "ColorName2", "ColorName3"};
    Section colorNames{"Names", {}};
    for (std::size_t n = 0; n < 4; ++n)
        colorNames.keys.push_back(bind(names[n], info.ColorName[n]));
    sections.push_back(std::move(colorNames));

    sections.push_back(
        {"TimeZone",
         {bind("StandardMonth", expert.StandardMonth), bind("StandardDay", expert.StandardDay),
          bind("StandardHour", expert.StandardHour),
          bind("StandardDayOfWeek", expert.StandardDayOfWeek),
          bind("DaylightMonth", expert.DaylightMonth), bind("DaylightDay", expert.DaylightDay),
          bind("DaylightHour", expert.DaylightHour),
          bind("DaylightDayOfWeek", expert.DaylightDayOfWeek), bind("Bias", expert.Bias)}});
    return sections;
}

std::vector<Key> lineKeys(ScheduleLine& line) {
    return {bind("Hour", line.Hour),
            bind("Minute", line.Minute),
            bind("Alt", line.Alt),
            bind("Color160", line.Color16[0]),
            bind("Color161", line.Color16[1]),
            bind("Color162", line.Color16[2]),
            bind("Color163", line.Color16[3]),
            bind("Timer", line.Timer),
            bind("Switch", line.Switch)};
}

QString systemError(SI_Error error) {
    if (error == SI_NOMEM)
        return QStringLiteral("kein Speicher");
    if (error == SI_FILE)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QStringLiteral("Fehler %1").arg(int(error));
}

QString notRegularReason() {
    return QString::fromUtf8("keine reguläre Datei");
}

// The reason a settings file cannot be read, or nothing when it was.
QString readProblem(const RegularFileRead& read) {
    switch (read.outcome) {
    case RegularFileRead::Outcome::Read:
        return {};
    case RegularFileRead::Outcome::Missing:
        return QStringLiteral("Datei nicht gefunden");
    case RegularFileRead::Outcome::NotRegular:
        return notRegularReason();
    case RegularFileRead::Outcome::TooLarge:
        return QString::fromUtf8("größer als %1 Bytes").arg(SettingsFileMaxBytes);
    case RegularFileRead::Outcome::Failed:
        break;
    }
    return read.systemError;
}

// Loads the INI document of an existing file; a missing file is an empty
// document.
bool loadDocument(CSimpleIniA& ini, const QString& path, bool mustExist, QString* error) {
    ini.SetSpaces(false);
    const RegularFileRead read = readRegularFile(path, SettingsFileMaxBytes);
    if (read.outcome == RegularFileRead::Outcome::Missing && !mustExist)
        return true;
    if (read.outcome != RegularFileRead::Outcome::Read) {
        if (error)
            *error = readProblem(read);
        return false;
    }
    const QByteArray& data = read.data;
    const SI_Error rc = ini.LoadData(data.constData(), std::size_t(data.size()));
    if (rc < 0) {
        if (error)
            *error = systemError(rc);
        return false;
    }
    return true;
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

bool WriteSettingsFile(const QString& path, const InfoBlock& info, const ExpertBlock& expert,
                       const Schedule& schedule, QString* error) {
    CSimpleIniA ini;
    if (!loadDocument(ini, path, false, error))
        return false;

    // The bindings need mutable fields; writing only reads them.
    InfoBlock infoCopy = info;
    ExpertBlock expertCopy = expert;
    for (const Section& section : configSections(infoCopy, expertCopy))
        for (const Key& key : section.keys)
            ini.SetLongValue(section.name, key.name, key.get());
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        ScheduleLine line = schedule[i];
        const std::string name = std::to_string(i);
        for (const Key& key : lineKeys(line))
            ini.SetLongValue(name.c_str(), key.name, key.get());
    }

    std::string text;
    if (ini.Save(text) < 0) {
        setError(error, QStringLiteral("kein Speicher"));
        return false;
    }
    // Written beside the old file and renamed over it only when complete, so
    // a failed export never destroys the file that was there. The explicit
    // flush matters: commit() does not fail when its own final flush does (a
    // full disk), and would put the cut-off file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.flush() ||
        !file.commit()) {
        setError(error, file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool readConfigFile(const QString& path, InfoBlock& info, ExpertBlock& expert, QString* error) {
    CSimpleIniA ini;
    if (!loadDocument(ini, path, true, error))
        return false;
    for (const Section& section : configSections(info, expert))
        for (const Key& key : section.keys)
            key.set(ini.GetLongValue(section.name, key.name, key.get()));
    return true;
}

bool readScheduleFile(const QString& path, Schedule& schedule, QString* error) {
    CSimpleIniA ini;
    if (!loadDocument(ini, path, true, error))
        return false;
    for (std::size_t i = 0; i < schedule.size(); ++i) {
        const std::string name = std::to_string(i);
        for (const Key& key : lineKeys(schedule[i]))
            key.set(ini.GetLongValue(name.c_str(), key.name, key.get()));
    }
    return true;
}

TextMessage settingsWriteFailure(const QString& path, const QString& reason) {
    return {QStringLiteral("SettingsFileUnwritable"), {QDir::toNativeSeparators(path), reason}};
}

TextMessage settingsReadFailure(const QString& path, const QString& reason) {
    return {QStringLiteral("SettingsFileUnreadable"), {QDir::toNativeSeparators(path), reason}};
}

TextMessage importRefusal(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return {QStringLiteral("SettingsFileNotFound"), {QDir::toNativeSeparators(path)}};
    if (!file.isFile())
        return settingsReadFailure(path, notRegularReason());
    return {};
}

} // namespace kv
