#include "views/alert_rules_dialog.h"

#include "text/text_catalogue.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

const QString DesktopKey = QStringLiteral("notify.desktop");
const QString CommandKey = QStringLiteral("notify.command");

struct FieldText {
    const char* key;
    const char* label; // catalogue key
};

struct Group {
    const char* title; // catalogue key
    std::vector<FieldText> fields;
};

const std::vector<Group>& groups() {
    static const std::vector<Group> all = {
        {"AlertDialogTemperature",
         {{"temperature.warn_low", "AlertDialogWarnLow"},
          {"temperature.warn_high", "AlertDialogWarnHigh"},
          {"temperature.critical_low", "AlertDialogCriticalLow"},
          {"temperature.critical_high", "AlertDialogCriticalHigh"},
          {"temperature.hysteresis", "AlertDialogHysteresis"},
          {"temperature.delay", "AlertDialogDelay"}}},
        {"AlertDialogSensor", {{"sensor.missing_delay", "AlertDialogMissingDelay"}}},
        {"AlertDialogBoard", {{"board.unplugged_delay", "AlertDialogUnpluggedDelay"}}},
        {"AlertDialogVoltage",
         {{"voltage.low", "AlertDialogVoltageLow"}, {"voltage.delay", "AlertDialogDelay"}}},
        {"AlertDialogNotify",
         {{"notify.reminder_hours", "AlertDialogReminder"},
          {"notify.command", "AlertDialogCommand"}}},
    };
    return all;
}

QString text(const char* key) {
    return Msg(QString::fromLatin1(key));
}

// What an empty field means: a bound or command that is off, or the
// default value.
QString placeholder(const QString& key) {
    const AlertRules defaults;
    const std::vector<std::pair<const char*, double>> values = {
        {"temperature.hysteresis", defaults.hysteresis},
        {"temperature.delay", defaults.delay},
        {"sensor.missing_delay", defaults.missingDelay},
        {"board.unplugged_delay", defaults.unpluggedDelay},
        {"voltage.delay", defaults.voltageDelay},
        {"notify.reminder_hours", defaults.reminderHours}};
    for (const auto& [name, value] : values)
        if (key == QLatin1String(name))
            return MsgFmt(
                QStringLiteral("AlertDialogDefault"),
                {QString::number(value, 'g', 10).replace(QLatin1Char('.'), QLatin1Char(','))});
    return text("AlertDialogOff");
}

} // namespace

AlertRulesDialog::AlertRulesDialog(const QString& rulesPath, QWidget* parent)
    : QDialog(parent), rulesPath_(rulesPath) {
    setObjectName(QStringLiteral("dlgAlerts"));
    setWindowTitle(text("AlertDialogTitle"));
    setMinimumWidth(560);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(text("AlertDialogHint"), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    for (const Group& group : groups()) {
        auto* box = new QGroupBox(text(group.title), this);
        box->setAccessibleName(box->title());
        auto* form = new QFormLayout(box);
        for (const FieldText& f : group.fields) {
            const QString key = QString::fromLatin1(f.key);
            auto* edit = new QLineEdit(box);
            edit->setObjectName(key);
            const QString label = text(f.label);
            edit->setAccessibleName(label);
            edit->setPlaceholderText(placeholder(key));
            auto* caption = new QLabel(label, box);
            caption->setBuddy(edit);
            form->addRow(caption, edit);
            fields_.insert(key, edit);
        }
        if (QString::fromLatin1(group.title) == QLatin1String("AlertDialogNotify")) {
            desktop_ = new QCheckBox(text("AlertDialogDesktop"), box);
            desktop_->setObjectName(DesktopKey);
            desktop_->setAccessibleName(desktop_->text());
            form->insertRow(0, desktop_);
        }
        layout->addWidget(box);
    }
    problems_ = new QLabel(this);
    problems_->setObjectName(QStringLiteral("alertProblems"));
    problems_->setWordWrap(true);
    problems_->setStyleSheet(QStringLiteral("color: #b3261e;"));
    problems_->hide();
    layout->addWidget(problems_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(text("AlertDialogSave"));
    buttons->button(QDialogButtonBox::Cancel)->setText(text("AlertDialogCancel"));
    for (QAbstractButton* button : buttons->buttons())
        button->setAccessibleName(button->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &AlertRulesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlertRulesDialog::reject);
    layout->addWidget(buttons);
    load();
}

void AlertRulesDialog::load() {
    const AlertRulesFile file = readAlertRules(rulesPath_);
    for (auto it = fields_.begin(); it != fields_.end(); ++it) {
        // Numbers as the window writes them, with a decimal comma (both are
        // taken back).
        QString value = file.values.value(it.key());
        if (it.key() != CommandKey)
            value.replace(QLatin1Char('.'), QLatin1Char(','));
        it.value()->setText(value);
        it.value()->setCursorPosition(0);
    }
    desktop_->setChecked(file.rules.desktop);
    QStringList lines;
    for (const AlertRuleProblem& problem : file.problems)
        lines << problem.text;
    problems_->setText(lines.join(QLatin1Char('\n')));
    problems_->setVisible(!lines.isEmpty());
}

QString AlertRulesDialog::problemText() const {
    return problems_->isHidden() ? QString() : problems_->text();
}

bool AlertRulesDialog::save() {
    AlertRuleValues changes;
    for (auto it = fields_.begin(); it != fields_.end(); ++it)
        changes.insert(it.key(), it.value()->text().trimmed());
    changes.insert(DesktopKey,
                   desktop_->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    QList<AlertRuleProblem> problems;
    if (changeAlertRules(rulesPath_, changes, &problems)) {
        problems_->hide();
        return true;
    }
    QStringList lines;
    for (const AlertRuleProblem& problem : problems)
        lines << problem.text;
    problems_->setText(lines.join(QLatin1Char('\n')));
    problems_->show();
    return false;
}

void AlertRulesDialog::accept() {
    if (save())
        QDialog::accept();
}

} // namespace kv
