#pragma once

#include "alerts/alert_rules.h"

#include <QDialog>
#include <QMap>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kv {

// "Alarme einstellen...": the rules of alerts.ini, one field per key (an
// empty field is a key left out: a band that is off, a delay at its
// default). OK checks every value and writes the file; a wrong value is
// told under the fields and nothing is written.
class AlertRulesDialog : public QDialog {
    Q_OBJECT
public:
    explicit AlertRulesDialog(const QString& rulesPath, QWidget* parent = nullptr);

    // The field of a key ("temperature.warn_high"), for the tests.
    QLineEdit* field(const QString& key) const { return fields_.value(key); }
    QCheckBox* desktopBox() const { return desktop_; }
    QString problemText() const;

    // Checks and writes the fields; whether the file took them.
    bool save();

    void accept() override;

private:
    void load();

    QString rulesPath_;
    QMap<QString, QLineEdit*> fields_;
    QCheckBox* desktop_ = nullptr;
    QLabel* problems_ = nullptr;
};

} // namespace kv
