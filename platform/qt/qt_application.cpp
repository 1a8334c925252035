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

void onSignal(int) {
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
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(gui, &QGuiApplication::commitDataRequest, context_.get(),
                         [this](QSessionManager&) { reportEnding(); });
    }
}

void QtApplication::reportEnding() {
    if (ending_) {
        ending_(Ending::ForGood);
    }
}

void QtApplication::signalled() {
#if defined(Q_OS_UNIX)
    char bytes[16];
    while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
#endif
    reportEnding();
    quit();
}

void QtApplication::quit() {
    // Hiding, not closing: a close would come back to the game as a close
    // request, and the game answers those by quitting.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    // Queued, so the event being handled finishes first, and a quit asked for
    // before the event loop runs is not lost.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

}  // namespace poroten::platform::qt
