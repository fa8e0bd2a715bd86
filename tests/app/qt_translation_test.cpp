// Qt's own dialogs read German, as the rest of the program does.
#include "app/file_dialogs.h"
#include "app/qt_translation.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace kv {
namespace {

QString withoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

// Runs the program's Yes/No question, reads its buttons as they are shown and
// presses the one labelled `press`.
bool answerQuestion(const QString& press, QStringList& shownButtons) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons())
            shownButtons << withoutMnemonic(button->text());
        for (QAbstractButton* button : box->buttons())
            if (withoutMnemonic(button->text()) == press)
                button->click();
    });
    return standardDialogs(nullptr).confirm(QStringLiteral("Firmware aktualisieren"),
                                            QStringLiteral("Vorgang fortsetzen?"));
}

TEST(QtGermanTexts, TheQuestionBoxAsksWithJaAndNein) {
    QStringList buttons;
    EXPECT_FALSE(answerQuestion(QStringLiteral("Nein"), buttons));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Ja", "Nein"}));

    buttons.clear();
    EXPECT_TRUE(answerQuestion(QStringLiteral("Ja"), buttons));
}

TEST(QtGermanTexts, TheOpenDialogReadsGerman) {
    QTemporaryDir dir;
    QString lookIn;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel")))
            lookIn = label->text();
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->isVisible())
                buttons << withoutMnemonic(button->text());
        dialog->reject();
    });
    FileDialogRequest request;
    request.title = QStringLiteral("Konfiguration importieren");
    request.filter = QStringLiteral("Einstellungen|*.ini");
    request.folder = dir.path();
    EXPECT_TRUE(standardDialogs(nullptr).openFile(request).isEmpty());
    EXPECT_EQ(lookIn, "Suchen in:");
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("Öffnen"))) << buttons.join('|').toStdString();
    EXPECT_TRUE(buttons.contains("Abbrechen")) << buttons.join('|').toStdString();
}

QStringList* capturedMessages = nullptr;

void captureMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (capturedMessages)
        *capturedMessages << message;
}

TEST(QtGermanTexts, AMissingTranslationFileIsNoFault) {
    QTemporaryDir empty;
    QStringList messages;
    capturedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    const bool installed = installQtGermanTranslation(*qApp, empty.path());
    qInstallMessageHandler(previous);
    capturedMessages = nullptr;
    EXPECT_FALSE(installed);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    // What was installed before stays in force.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), "&Nein");
}

} // namespace
} // namespace kv
