// Every control a person can work has a name a screen reader announces: its
// own text, a label that names it, or an accessible name. New views cannot
// forget theirs: this test looks at every control of the window.
#include "window_test_support.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>

namespace kv::testing {
namespace {

// Whether a person works this widget itself (not a part of another control,
// such as a scroll bar of a text area or the edit inside a spin box).
bool isInteractive(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    for (const QWidget* p = parent; p; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p) ||
            qobject_cast<const QTabBar*>(p) || qobject_cast<const QScrollBar*>(p) ||
            qobject_cast<const QMenuBar*>(p))
            return false;
    if (qobject_cast<const QScrollBar*>(widget))
        return false;
    // A table's headers are parts of the table, announced through it.
    if (qobject_cast<const QHeaderView*>(widget) && parent &&
        qobject_cast<const QAbstractItemView*>(parent))
        return false;
    if (parent && parent->inherits("QAbstractScrollArea") &&
        !qobject_cast<const QAbstractItemView*>(widget))
        return false; // corner buttons and viewports of scroll areas
    return qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QAbstractSlider*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget);
}

// The name a screen reader announces: the one given to the widget, else what
// its accessible interface derives (a button's text, the label it is the buddy
// of). Lists on Linux report their current entry as that derived name and
// their label through a relation, so they need a name of their own.
QString accessibleName(QWidget* widget) {
    if (!widget->accessibleName().isEmpty())
        return widget->accessibleName();
    if (qobject_cast<QComboBox*>(widget))
        return QString();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

class AccessibleNamesTest : public WindowTest {};

TEST_F(AccessibleNamesTest, EveryControlOfEveryTabHasAName) {
    startConnected(0, {QStringLiteral("--simulate"), QStringLiteral("/expert")});
    int controls = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!isInteractive(widget))
            continue;
        ++controls;
        EXPECT_FALSE(accessibleName(widget).isEmpty())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
    EXPECT_GE(controls, 5 * 4 + 1); // at least the channel rows and the log
    // The walk reaches every tab, the history's range buttons among them.
    int historyControls = 0;
    for (QWidget* widget : window->page("tsHistory")->findChildren<QWidget*>())
        historyControls += isInteractive(widget) ? 1 : 0;
    EXPECT_EQ(historyControls, 5);
}

TEST_F(AccessibleNamesTest, HistoryRangesAreNamedByTheirLabels) {
    startConnected(0);
    for (const char* name :
         {"btnHistory6h", "btnHistory24h", "btnHistory7d", "btnHistory30d", "btnHistory1y"}) {
        auto* button = child<QAbstractButton>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(accessibleName(button), button->text()) << name;
    }
    EXPECT_EQ(child<QAbstractButton>("btnHistory7d")->text(), "7 Tage");
    EXPECT_EQ(child<QWidget>("imgHistory")->accessibleName(), "Verlauf");
}

TEST_F(AccessibleNamesTest, LevelControlsAreNamedByTheirChannel) {
    startConnected(0);
    board().info().ColorName[1] = 2;
    poll();
    EXPECT_EQ(accessibleName(child<QWidget>("trb1")), "Level R: Rot");
    EXPECT_EQ(accessibleName(child<QWidget>("edt1")), "Level R: Rot");
    EXPECT_EQ(accessibleName(child<QWidget>("cmbName1")), "Beschriftung Kanal R");
    EXPECT_EQ(accessibleName(child<QWidget>("mem")), "Meldungen");
}

} // namespace
} // namespace kv::testing
