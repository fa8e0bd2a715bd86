#include "app/guarded_application.h"

#include <exception>

namespace kv {

namespace {

GuardedApplication::ErrorHook& errorHook() {
    static GuardedApplication::ErrorHook hook;
    return hook;
}

} // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        report(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        report(unknownErrorMessage());
    }
    return false;
}

void GuardedApplication::setErrorHook(ErrorHook hook) {
    errorHook() = std::move(hook);
}

QString GuardedApplication::unknownErrorMessage() {
    return QStringLiteral("Unbekannter Fehler");
}

void GuardedApplication::report(const QString& message) {
    // The hook itself must not throw back into the event loop.
    try {
        if (errorHook())
            errorHook()(message);
    } catch (...) {
    }
}

} // namespace kv
