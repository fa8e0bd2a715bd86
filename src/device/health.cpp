#include "device/health.h"

#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <QStringList>

namespace kv {

namespace {

const QString Separator = QString::fromUtf8(" \u2022 ");

struct ErrorText {
    std::uint8_t mask;
    const char* key;
};

constexpr ErrorText ErrorTexts[] = {
    {boarderror::Overtemperature, "Overtemperature"},
    {boarderror::Undervoltage, "Undervoltage"},
    {boarderror::QuarzError, "QuarzError"},
    {boarderror::CRCError, "CRCError"},
    {boarderror::RAMFull, "RAMFull"},
    {boarderror::RTCError, "RTCError"},
    {boarderror::PWMError, "PWMError"},
};

QStringList errorTexts(const InfoBlock& info) {
    QStringList parts;
    for (const ErrorText& error : ErrorTexts)
        if (info.ErrorFlags & error.mask)
            parts << Msg(QLatin1String(error.key));
    return parts;
}

} // namespace

QString healthErrorText(const InfoBlock& info) {
    return errorTexts(info).join(Separator);
}

QString healthStatusText(const InfoBlock& info) {
    QStringList parts = errorTexts(info);
    if (info.WaterTemp != NoValue)
        parts << QStringLiteral("KestTHERMAL: ") + formatNumber(info.WaterTemp / 10.0, u"0.0") +
                     QString::fromUtf8("°C");
    if (info.InputVoltage != NoValue)
        parts << Msg(QStringLiteral("InputVoltage")) + QStringLiteral(": ") +
                     formatNumber(info.InputVoltage / 100.0, u"0.00") + QStringLiteral(" Volt");
    return parts.join(Separator);
}

bool healthIsAlarming(const InfoBlock& info) {
    return (info.ErrorFlags & boarderror::RedMask) != 0;
}

QString activityLetters(const InfoBlock& info) {
    QString letters;
    if (info.runsSchedule()) {
        if (info.ActivityFlags & activity::Cloud)
            letters += Msg(QStringLiteral("LetterCloud"));
        if (info.ActivityFlags & activity::Storm)
            letters += Msg(QStringLiteral("LetterStorm"));
    }
    if (info.ActivityFlags & activity::Cooler)
        letters += Msg(QStringLiteral("LetterCooler"));
    if (info.ActivityFlags & activity::Heater)
        letters += Msg(QStringLiteral("LetterHeater"));
    if (info.ActivityFlags & activity::Timer)
        letters += Msg(QStringLiteral("LetterTimer"));
    return letters;
}

QString modeActivityText(const InfoBlock& info) {
    if (info.StateFlags & StateSaving)
        return Msg(QStringLiteral("Saving"));
    const auto mode = boardModeOf(info.Mode);
    return (mode ? modeText(*mode) : QString()) + activityLetters(info);
}

QString modeText(BoardMode mode) {
    switch (mode) {
    case BoardMode::Manual:
        return Msg(QStringLiteral("ModeManual"));
    case BoardMode::Auto:
        return Msg(QStringLiteral("ModeAuto"));
    case BoardMode::Geo:
        return Msg(QStringLiteral("ModeGeo"));
    }
    return QString();
}

} // namespace kv
