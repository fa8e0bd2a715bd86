#pragma once

#include <QApplication>
#include <QString>

#include <functional>

namespace kv {

// The application object: an error that escapes a handler is not allowed to
// end the program. It is passed by its message to the error hook (the window
// logs it) and the event loop goes on.
class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    using ErrorHook = std::function<void(const QString& message)>;

    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The hook of the running application; nothing happens while none is set.
    static void setErrorHook(ErrorHook hook);
    // The message logged for an error that is no std::exception.
    static QString unknownErrorMessage();

private:
    static void report(const QString& message);
};

} // namespace kv
