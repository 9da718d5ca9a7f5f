/* Times a program from exec to (1) its first mapped top-level window, (2) the
   first time that window shows more than one flat colour, and (3) the last
   change of its picture before it stays still for 400 ms (the first screen
   complete). usage: firstpaint [-d PREFIX] PROGRAM ARGS...  (DISPLAY set) */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void dump(XImage* img, int w, int h, const char* path) {
    FILE* f = fopen(path, "wb");
    if (!f) return;
    fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            unsigned char rgb[3] = {(p >> 16) & 255, (p >> 8) & 255, p & 255};
            fwrite(rgb, 1, 3, f);
        }
    fclose(f);
}

/* 0: not viewable; else 1 + whether it is not flat; *hash gets a picture hash */
static int look(Display* d, Window w, uint64_t* hash, const char* dumpTo) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable || a.width < 4 || a.height < 4)
        return 0;
    XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!img) return 0;
    unsigned long first = XGetPixel(img, 0, 0);
    int differs = 0;
    uint64_t hsh = 1469598103934665603ull;
    for (int y = 0; y < a.height; y += 3)
        for (int x = 0; x < a.width; x += 3) {
            unsigned long p = XGetPixel(img, x, y);
            if (p != first) differs = 1;
            hsh = (hsh ^ p) * 1099511628211ull;
        }
    hsh ^= (uint64_t)a.width << 32 | a.height;
    *hash = hsh;
    if (dumpTo) dump(img, a.width, a.height, dumpTo);
    XDestroyImage(img);
    return 1 + differs;
}

static int ignore(Display* d, XErrorEvent* e) { (void)d; (void)e; return 0; }

int main(int argc, char** argv) {
    XSetErrorHandler(ignore);
    const char* prefix = NULL;
    int arg = 1;
    if (argc > 2 && strcmp(argv[1], "-d") == 0) { prefix = argv[2]; arg = 3; }
    Display* d = XOpenDisplay(NULL);
    if (!d || argc <= arg) return 2;
    Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    XSync(d, False);
    double start = now();
    pid_t pid = fork();
    if (pid == 0) { execvp(argv[arg], argv + arg); _exit(127); }
    Window mapped = 0;
    double mapAt = 0, paintAt = 0, changedAt = 0;
    uint64_t last = 0;
    char path[512];
    while (now() - start < 5000) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && !mapped && e.xmap.event == root) { mapped = e.xmap.window; mapAt = now(); }
        }
        if (mapped) {
            uint64_t h = 0;
            double t = now();
            int seen = look(d, mapped, &h, NULL);
            if (seen == 2 && !paintAt) {
                paintAt = t;
                if (prefix) { snprintf(path, sizeof path, "%s-first.ppm", prefix); look(d, mapped, &h, path); }
            }
            if (seen && h != last) { last = h; changedAt = t; if (getenv("FP_VERBOSE")) fprintf(stderr, "change %.1f\n", t - start); }
            if (paintAt && t - changedAt > 400) break;
        }
        usleep(1000);
    }
    if (prefix) { uint64_t h; snprintf(path, sizeof path, "%s-settled.ppm", prefix); look(d, mapped, &h, path); }
    printf("%.1f %.1f %.1f\n", mapAt - start, paintAt - start, changedAt - start);
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);
    return paintAt > 0 ? 0 : 1;
}
