/* Starts a program and reports how long it took, from exec to its first
 * top-level window mapped on the X display, and its peak resident memory.
 *
 *   startup_probe TITLE SETTLE_MS PROGRAM [ARGS...]
 *
 * Prints "startup_us=N maxrss_kib=N". No window manager may run: the map
 * request then reaches the server directly and MapNotify is the moment the
 * window becomes viewable. The program is left running SETTLE_MS after the
 * map (to paint and settle), then stopped with SIGTERM; the peak RSS is the
 * kernel's for the whole run. */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long now_us(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

static int title_is(Display* dpy, Window w, const char* title) {
    Atom net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = NULL;
    int same = 0;
    if (XGetWindowProperty(dpy, w, net_wm_name, 0, 256, False, utf8, &type, &format, &n, &after,
                           &data) == Success &&
        data) {
        same = strcmp((const char*)data, title) == 0;
        XFree(data);
    }
    return same;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s TITLE SETTLE_MS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const char* title = argv[1];
    const int settle_ms = atoi(argv[2]);
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);

    const long long start = now_us();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    long long mapped = -1;
    const int fd = ConnectionNumber(dpy);
    while (mapped < 0) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && !ev.xmap.override_redirect &&
                title_is(dpy, ev.xmap.window, title)) {
                mapped = now_us();
                break;
            }
        }
        if (mapped >= 0)
            break;
        if (now_us() - start > 20 * 1000000LL || waitpid(pid, NULL, WNOHANG) == pid) {
            fprintf(stderr, "no window titled %s was mapped\n", title);
            kill(pid, SIGKILL);
            return 1;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        struct timeval tv = {0, 100000};
        select(fd + 1, &fds, NULL, NULL, &tv);
    }
    usleep((useconds_t)settle_ms * 1000);
    kill(pid, SIGTERM);
    int status;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) != pid) {
        perror("wait4");
        return 1;
    }
    printf("startup_us=%lld maxrss_kib=%ld\n", mapped - start, usage.ru_maxrss);
    return 0;
}
