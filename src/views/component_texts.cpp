#include "views/component_texts.h"

#include "text/text_catalogue.h"
#include "views/labelled_edit.h"
#include "views/message_log.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>

namespace kv {

namespace {

// The tab widget whose page this widget is, if it is one.
QTabWidget* owningTabs(QWidget* widget) {
    QWidget* stack = widget->parentWidget();
    auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr);
    return tabs && tabs->indexOf(widget) >= 0 ? tabs : nullptr;
}

// Widgets break lines at LF alone.
QString widgetText(const QString& text) {
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}

} // namespace

QObject* findComponent(QWidget* window, const QString& name) {
    if (!window || name.isEmpty())
        return nullptr;
    if (window->objectName() == name)
        return window;
    return window->findChild<QObject*>(name);
}

bool setComponentCaption(QObject* component, const QString& rawText) {
    const QString text = widgetText(rawText);
    if (auto* menu = qobject_cast<QMenu*>(component)) {
        menu->setTitle(text);
    } else if (auto* action = qobject_cast<QAction*>(component)) {
        action->setText(text);
    } else if (auto* labelled = qobject_cast<LabelledEdit*>(component)) {
        labelled->setCaption(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(component)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(component)) {
        group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(component)) {
        label->setText(text);
    } else if (auto* log = qobject_cast<MessageLog*>(component)) {
        log->setIntroduction(text); // what was logged so far stays
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(component)) {
        memo->setPlainText(text);
    } else if (auto* richMemo = qobject_cast<QTextEdit*>(component)) {
        richMemo->setPlainText(text);
    } else if (auto* widget = qobject_cast<QWidget*>(component); widget && owningTabs(widget)) {
        QTabWidget* tabs = owningTabs(widget);
        tabs->setTabText(tabs->indexOf(widget), text);
    } else {
        return false;
    }
    return true;
}

QString componentCaption(QObject* component) {
    if (auto* menu = qobject_cast<QMenu*>(component))
        return menu->title();
    if (auto* action = qobject_cast<QAction*>(component))
        return action->text();
    if (auto* labelled = qobject_cast<LabelledEdit*>(component))
        return labelled->caption();
    if (auto* button = qobject_cast<QAbstractButton*>(component))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(component))
        return group->title();
    if (auto* label = qobject_cast<QLabel*>(component))
        return label->text();
    if (auto* log = qobject_cast<MessageLog*>(component))
        return log->introduction();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(component))
        return memo->toPlainText();
    if (auto* richMemo = qobject_cast<QTextEdit*>(component))
        return richMemo->toPlainText();
    if (auto* widget = qobject_cast<QWidget*>(component)) {
        if (QTabWidget* tabs = owningTabs(widget))
            return tabs->tabText(tabs->indexOf(widget));
    }
    return {};
}

bool setComponentHint(QObject* component, const QString& rawText) {
    const QString text = widgetText(rawText);
    if (auto* action = qobject_cast<QAction*>(component)) {
        action->setToolTip(text);
        return true;
    }
    auto* widget = qobject_cast<QWidget*>(component);
    if (!widget)
        return false;
    if (auto* labelled = qobject_cast<LabelledEdit*>(widget)) {
        labelled->edit()->setToolTip(text);
        return true;
    }
    if (QTabWidget* tabs = owningTabs(widget)) {
        tabs->setTabToolTip(tabs->indexOf(widget), text);
        return true;
    }
    const bool takesHint =
        qobject_cast<QAbstractButton*>(widget) || qobject_cast<QGroupBox*>(widget) ||
        qobject_cast<QLabel*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
        qobject_cast<QTextEdit*>(widget) || qobject_cast<QLineEdit*>(widget) ||
        qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSlider*>(widget) ||
        qobject_cast<QTabWidget*>(widget) || qobject_cast<QMenu*>(widget);
    if (!takesHint)
        return false;
    widget->setToolTip(text);
    return true;
}

void applyFormEntries(QWidget* window, const QList<QPair<QString, QString>>& entries) {
    static const QString CaptionSuffix = QStringLiteral(".Caption");
    static const QString HintSuffix = QStringLiteral(".Hint");
    // One walk over the window's components instead of one per entry.
    QHash<QString, QObject*> components;
    if (window && !window->objectName().isEmpty())
        components.insert(window->objectName(), window);
    if (window)
        for (QObject* component : window->findChildren<QObject*>())
            if (!component->objectName().isEmpty() && !components.contains(component->objectName()))
                components.insert(component->objectName(), component);
    for (const auto& [name, value] : entries) {
        if (const qsizetype at = name.indexOf(CaptionSuffix); at >= 0) {
            if (QObject* component = components.value(name.left(at)))
                setComponentCaption(component, expandLineBreaks(value));
        } else if (const qsizetype hintAt = name.indexOf(HintSuffix); hintAt >= 0) {
            if (QObject* component = components.value(name.left(hintAt)))
                setComponentHint(component, expandLineBreaks(value));
        }
    }
}

void ApplyTextCatalogue(QWidget* window) {
    if (!textCatalogue().isLoaded())
        LoadTextCatalogue();
    applyFormEntries(window, textCatalogue().formEntries());
}

QString formatCaption(const QString& format, const QString& argument) {
    return formatText(format, {MsgArg(argument)}).value_or(format);
}

} // namespace kv
