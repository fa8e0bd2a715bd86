#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QObject;
class QWidget;

// Puts the texts of the catalogue's window section on the window's
// components, which are found by their object names (the catalogue names
// them; the program itself reaches its widgets by pointer).
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

// The entries of the built-in catalogue on the window's components. Texts a
// view derives from them (per-channel copies, letters) are the views' own
// step after this one.
void ApplyTextCatalogue(QWidget* window);

// A caption template with its "%s" filled in; the template itself when it
// does not format.
QString formatCaption(const QString& format, const QString& argument);

} // namespace kv
