#pragma once

// Typing into an edit as a person does: click into it, select what it holds,
// then type key by key, or put the whole text in at once as a paste does.

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kv::testing {

inline void typeInto(QLineEdit* target, const QString& text) {
    QTest::mouseClick(target, Qt::LeftButton);
    ASSERT_TRUE(target->hasFocus());
    target->selectAll();
    QTest::keyClicks(target, text);
}

inline void pasteInto(QLineEdit* target, const QString& text) {
    QTest::mouseClick(target, Qt::LeftButton);
    ASSERT_TRUE(target->hasFocus());
    target->selectAll();
    target->insert(text);
}

} // namespace kv::testing
