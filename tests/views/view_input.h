#pragma once

// Driving controls as a person does: clicking into an edit and typing (see
// typing.h), dragging a slider's handle, clicking a button.

#include "typing.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace kv::testing {

// Grabs the slider's handle and drags it to the far end (right or left).
inline void dragToEnd(QSlider* slider, bool right) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.state |= QStyle::State_Horizontal;
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                         QStyle::SC_SliderHandle, slider);
    const int y = handle.center().y();
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, handle.center());
    ASSERT_TRUE(slider->hasFocus());
    const QPoint end(right ? slider->width() - 1 : 0, y);
    QTest::mouseMove(slider, QPoint((handle.center().x() + end.x()) / 2, y));
    QTest::mouseMove(slider, end);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, end);
}

// Near the left edge: a radio button reacts only on its circle and text.
inline void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

// What a screen reader calls the control.
inline QString accessibleName(QWidget* widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// Every control of the widget a person works, and every picture, has a name.
inline void expectAccessibleNames(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const bool interactive = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                                 qobject_cast<QAbstractSlider*>(w) ||
                                 w->objectName().startsWith(QLatin1String("img"));
        if (interactive) {
            EXPECT_FALSE(accessibleName(w).trimmed().isEmpty()) << w->objectName().toStdString();
        }
    }
}

} // namespace kv::testing
