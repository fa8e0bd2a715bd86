#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

class QLabel;
class QWidget;

namespace kv {

struct InfoBlock;

// The health text itself (healthStatusText, healthIsAlarming,
// modeActivityText) comes from device/health.h, shared with the command line.

// The board's clock as the status bar shows it (system date and time format,
// no hundredths).
QString boardClockText(const QDateTime& when, const QLocale& locale = QLocale());

// The window caption: maker, " • ", application title, and with a board
// " • " and the status text.
QString disconnectedCaption();
QString connectedCaption(const QString& statusText);

// Where the health refresh writes.
struct HealthTargets {
    QWidget* window = nullptr;    // caption
    QLabel* boardLabel = nullptr; // lblBoard
    // Status-bar panels 1 (clock) and 2 (mode and letters).
    std::function<void(int panel, const QString& text)> setPanel;
};

// Health refresh: clock panel, status text in caption and lblBoard. An
// invalid board date stops it after nothing was changed; returns whether it
// ran through.
bool refreshHealth(const InfoBlock& info, const HealthTargets& targets);
// The lblBoard part alone: the status text, red when alarming; nothing
// changes for an invalid board date.
bool showBoardStatus(const InfoBlock& info, QLabel* boardLabel);
// Mode and activity refresh: the letters panel.
void refreshModeActivity(const InfoBlock& info, const HealthTargets& targets);

} // namespace kv
