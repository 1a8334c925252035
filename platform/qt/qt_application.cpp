#include "platform/qt/qt_application.h"

#include <QApplication>
#include <QMetaObject>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWidget>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace poroten::platform::qt {

namespace {

#if defined(Q_OS_UNIX)
// A signal handler may do next to nothing safely: it writes one byte here, and
// the event loop reads it and does the rest.
int signalPipe[2] = {-1, -1};
// Set from the first signal until the ending it asked for is over: a second
// one meanwhile ends the program at once, so that a save stuck on a hung
// network home or a blocked event loop never traps the player.
volatile std::sig_atomic_t signalPending = 0;

void onSignal(int signal) {
    if (signalPending) {
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        sigemptyset(&byDefault.sa_mask);
        sigaction(signal, &byDefault, nullptr);
        ::raise(signal);
        return;
    }
    signalPending = 1;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool openSignalPipe() {
    if (signalPipe[0] >= 0) {
        return true;
    }
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        // A signal ignored when the program started stays ignored: under
        // nohup, closing the terminal must not end the game.
        struct sigaction inherited {};
        if (sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal, &action, nullptr);
    }
    return true;
}
#endif

}  // namespace

QtApplication::QtApplication() = default;

QtApplication::~QtApplication() = default;

// The signals are taken only once somebody listens, so that merely making the
// service (as tests do) leaves the process's signals alone.
void QtApplication::onEnding(std::function<void(Ending)> ending) {
    ending_ = std::move(ending);
    if (!ending_ || context_) {
        return;
    }
    context_ = std::make_unique<QObject>();
#if defined(Q_OS_UNIX)
    if (openSignalPipe()) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, context_.get());
        QObject::connect(notifier, &QSocketNotifier::activated, context_.get(),
                         [this] { signalled(); });
    }
#endif
    // The session ending: the record is kept and the program goes, as on a
    // termination signal.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(gui, &QGuiApplication::commitDataRequest, context_.get(),
                         [this](QSessionManager&) { endForGood(); });
    }
}

void QtApplication::endForGood() {
    if (const auto ending = ending_) {  // a copy: the game may replace it meanwhile
        ending(Ending::ForGood);
    }
    quit();
}

void QtApplication::signalled() {
#if defined(Q_OS_UNIX)
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
#endif
    endForGood();
#if defined(Q_OS_UNIX)
    signalPending = 0;
#endif
}

void QtApplication::quit() {
    // Hiding, not closing: a close would come back to the game as a close
    // request, and the game answers those by quitting.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    // Queued, so the event being handled finishes first, and a quit asked for
    // before the event loop runs is not lost. exit(), not quit(): quit() asks
    // every window to close first and is called off when one refuses, and it
    // leaves a box's own event loop running.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

}  // namespace poroten::platform::qt
