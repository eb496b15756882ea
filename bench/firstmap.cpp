// Starts a program and waits, as an X client watching the root window, for the
// first map of a top-level window with the given title. Prints the time from
// the exec to that map in milliseconds and the program's peak resident set
// (VmHWM) in kilobytes a short settling time later, then kills the program.
//   firstmap TITLE SETTLE_MS PROGRAM [ARG...]
// Used by bench/startup; needs a window system without a window manager (the
// program's own map request is then the map itself).
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r
        = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

std::string property(xcb_connection_t *c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type)
{
    xcb_get_property_reply_t *r
        = xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 4096), nullptr);
    std::string value;
    if (r)
        value.assign(static_cast<const char *>(xcb_get_property_value(r)),
            size_t(xcb_get_property_value_length(r)));
    free(r);
    return value;
}

long peakRssKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: firstmap TITLE SETTLE_MS PROGRAM [ARG...]\n");
        return 2;
    }
    const std::string title = argv[1];
    const int settleMs = std::atoi(argv[2]);
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "firstmap: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so the selection is in force before the program starts.
    if (xcb_generic_error_t *e = xcb_request_check(
            c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        std::fprintf(stderr, "firstmap: cannot watch the root window\n");
        free(e);
        return 2;
    }

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        close(xcb_get_file_descriptor(c));
        // The program's own messages would mix with the figures.
        if (const int null = open("/dev/null", O_WRONLY); null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        execv(argv[3], argv + 3);
        std::fprintf(stderr, "firstmap: cannot start %s: %s\n", argv[3], strerror(errno));
        _exit(127);
    }
    double mapped = -1;
    pollfd pfd {xcb_get_file_descriptor(c), POLLIN, 0};
    while (mapped < 0) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c) || nowMs() - start > 30000)
                break;
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                std::fprintf(stderr, "firstmap: %s ended before its window showed\n", argv[3]);
                return 1;
            }
            poll(&pfd, 1, 50);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const double at = nowMs();
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect && map->event == root
                && property(c, map->window, netWmName, utf8) == title)
                mapped = at;
        }
        free(event);
    }
    if (mapped < 0) {
        std::fprintf(stderr, "firstmap: no window \"%s\" showed\n", title.c_str());
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return 1;
    }
    usleep(useconds_t(settleMs) * 1000);
    const long rss = peakRssKb(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::printf("%.2f %ld\n", mapped - start, rss);
    xcb_disconnect(c);
    return 0;
}
