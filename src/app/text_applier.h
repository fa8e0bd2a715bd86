#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QObject;
class QWidget;

// Puts the texts of the catalogue's window section on the window's
// components, which are found by their object names.
namespace kv {

// The component of that name in the window (menu items included); null if
// there is none.
QObject* findComponent(QWidget* window, const QString& name);

// The visible text of a component: caption of buttons, check boxes, radio
// buttons, group boxes, labels, tab sheets and menu items, the label of a
// labelled edit, the whole content of a memo. Returns false (and changes
// nothing) for a component of any other kind.
bool setComponentCaption(QObject* component, const QString& text);
QString componentCaption(QObject* component);
// The tooltip: the kinds above and plain edits, lists, sliders and tab bars.
bool setComponentHint(QObject* component, const QString& text);

// Applies ".Caption" and ".Hint" entries (values raw, "\n" for line breaks) in
// their order; names of no component, or of a component of another kind, are
// skipped.
void applyFormEntries(QWidget* window, const QList<QPair<QString, QString>>& entries);

// The whole step at start: the entries of the built-in catalogue, then the
// per-channel copies of the first channel's texts, the channel letters as
// labels of the per-channel edits, and the chart menu captions taken from
// their radio buttons.
void ApplyTextCatalogue(QWidget* window);

} // namespace kv
