/* Times one key from the X server to the screen: sends the key through XTest
 * and reads one pixel of the root window back in a tight loop until it takes
 * the expected colour.
 *
 *   key_probe KEYSYM X Y RRGGBB [TIMEOUT_MS]
 *
 * Prints "key_to_pixel_us=N". The window that should get the key must hold
 * the X focus already. The pixel is read from the server's framebuffer (Xvfb:
 * no compositor, no vertical sync), so this is the program's share of the
 * latency: event delivery, handling, repaint and the server drawing it. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static long long now_us(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

static unsigned long pixel_at(Display* dpy, int x, int y) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
}

int main(int argc, char** argv) {
    if (argc < 5) {
        fprintf(stderr, "usage: %s KEYSYM X Y RRGGBB [TIMEOUT_MS]\n", argv[0]);
        return 2;
    }
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "cannot open the display\n");
        return 2;
    }
    KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(argv[1]));
    const int x = atoi(argv[2]), y = atoi(argv[3]);
    const unsigned long want = strtoul(argv[4], NULL, 16);
    const long long timeout_us = (argc > 5 ? atoll(argv[5]) : 2000) * 1000LL;
    if (!code) {
        fprintf(stderr, "no key for %s\n", argv[1]);
        return 2;
    }
    if (pixel_at(dpy, x, y) == want) {
        fprintf(stderr, "the pixel shows %06lx already\n", want);
        return 1;
    }
    const long long start = now_us();
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XFlush(dpy);
    long long seen = -1;
    int released = 0;
    while (now_us() - start < timeout_us) {
        if (pixel_at(dpy, x, y) == want) {
            seen = now_us();
            break;
        }
        if (!released) {
            XTestFakeKeyEvent(dpy, code, False, CurrentTime);
            released = 1;
        }
    }
    if (!released)
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
    XSync(dpy, False);
    if (seen < 0) {
        fprintf(stderr, "the pixel at %d,%d never showed %06lx\n", x, y, want);
        return 1;
    }
    printf("key_to_pixel_us=%lld\n", seen - start);
    return 0;
}
