#include "app/status_panels.h"

#include <QLabel>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace kv {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("sb"));
    setSizeGripEnabled(false);
    for (int i = 0; i < Count; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("sbPanel%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignVCenter | (i == 0 ? Qt::AlignLeft : Qt::AlignHCenter));
        label->setIndent(3);
        panels_[std::size_t(i)] = label;
    }
    setScale(1.0);
}

void StatusPanels::setScale(double scale) {
    clockWidth_ = int(std::lround(ClockWidth * scale));
    modeWidth_ = int(std::lround(ModeWidth * scale));
    const int textHeight = fontMetrics().height() + 6;
    setFixedHeight(std::max(int(std::lround(DesignHeight * scale)), textHeight));
    sbResize();
}

int StatusPanels::fixedWidth() const {
    return clockWidth_ + modeWidth_;
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    if (panel == Text && !alert_.isEmpty()) {
        status_ = text;
        return;
    }
    if (panel >= 0 && panel < Count)
        panels_[std::size_t(panel)]->setText(text);
}

void StatusPanels::setAlertText(const QString& text) {
    QLabel* first = panels_[Text];
    if (alert_.isEmpty())
        status_ = first->text();
    alert_ = text;
    first->setText(text.isEmpty() ? status_ : text);
    first->setStyleSheet(text.isEmpty() ? QString()
                                        : QStringLiteral("color: #b3261e; font-weight: bold;"));
}

QString StatusPanels::panelText(int panel) const {
    return panel >= 0 && panel < Count ? panels_[std::size_t(panel)]->text() : QString();
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    sbResize();
}

void StatusPanels::sbResize() {
    const int h = height();
    const int firstWidth = std::max(0, width() - fixedWidth());
    panels_[0]->setGeometry(0, 0, firstWidth, h);
    panels_[1]->setGeometry(firstWidth, 0, clockWidth_, h);
    panels_[2]->setGeometry(firstWidth + clockWidth_, 0, modeWidth_, h);
}

} // namespace kv
