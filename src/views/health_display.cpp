#include "views/health_display.h"

#include "device/clock_sync.h"
#include "device/health.h"
#include "device/records/info_block.h"
#include "text/log_stamp.h"
#include "text/product.h"
#include "text/text_catalogue.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace kv {

namespace {

const QString Bullet = QString::fromUtf8(" \u2022 ");

QString titlePart() {
    return QString::fromLatin1(product::CaptionPrefix) + Bullet +
           QString::fromLatin1(product::ApplicationTitle);
}

} // namespace

QString boardClockText(const QDateTime& when, const QLocale& locale) {
    return dateTimeText(when, locale);
}

QString disconnectedCaption() {
    return titlePart();
}

QString connectedCaption(const QString& statusText) {
    return titlePart() + Bullet + statusText;
}

bool refreshHealth(const InfoBlock& info, const HealthTargets& targets) {
    const auto when = boardDateTime(info);
    if (!when)
        return false;
    if (targets.setPanel)
        targets.setPanel(1, boardClockText(*when));

    if (targets.window)
        targets.window->setWindowTitle(connectedCaption(healthStatusText(info)));
    showBoardStatus(info, targets.boardLabel);
    return true;
}

bool showBoardStatus(const InfoBlock& info, QLabel* boardLabel) {
    if (!boardLabel || !boardDateTime(info))
        return false;
    boardLabel->setText(healthStatusText(info));
    QPalette palette = boardLabel->palette();
    if (healthIsAlarming(info)) {
        palette.setColor(QPalette::WindowText, Qt::red);
    } else {
        // Back to the colour the label inherits.
        const QWidget* parent = boardLabel->parentWidget();
        palette.setColor(QPalette::WindowText,
                         (parent ? parent->palette() : QPalette()).color(QPalette::WindowText));
    }
    boardLabel->setPalette(palette);
    return true;
}

void refreshModeActivity(const InfoBlock& info, const HealthTargets& targets) {
    if (targets.setPanel)
        targets.setPanel(2, modeActivityText(info));
}

} // namespace kv
