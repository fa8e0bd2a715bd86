#pragma once

// A turn of the mouse wheel over the middle of a widget, as the window system
// delivers it: positive delta away from the user, negative towards.

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

namespace kv::testing {

inline void turnWheel(QWidget* target, int delta) {
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace kv::testing
