// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program and measures how long it takes to show its first window,
// and how much memory it holds once the window is up:
//
//   vostrel-map-watch [--settle MS] [--timeout S] [--] PROGRAM [ARGS...]
//
// It watches the root window of $DISPLAY for new children, runs PROGRAM, and
// waits for the first MapNotify of a new top-level window whose _NET_WM_PID
// is the program's. Meant for a bare X server (Xvfb) with no window manager,
// where a program's top-level windows are children of the root and are
// mapped as soon as the program asks for it (a window manager would reparent
// them and add its own latency).
//
// Prints one line:
//
//   map_ms=123.4 rss_kib=45678 hwm_kib=50000 windows_ignored=0
//
//   map_ms   from just before exec (taken in the child) to the MapNotify
//            reaching this program, CLOCK_MONOTONIC, 0.1 ms steps;
//   rss_kib  VmRSS of the program, read MS milliseconds after the map
//            (--settle, 300 by default: time for the first paint and the
//            work Qt queues just after show() to finish);
//   hwm_kib  VmHWM, its peak resident size up to that moment.
//
// The program is then sent SIGTERM and waited for (SIGKILL after 2 s).
// PROGRAM is run directly (execvp), not through a shell, so that the pid
// watched is the program's own. Exits 1 when the program fails to start,
// exits before showing a window, or shows none within --timeout seconds
// (10 by default); 2 for bad usage.
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <set>
#include <string>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

xcb_connection_t* g_x = nullptr; // the one connection to the X server

// Leaves with `status`, closing the connection to the X server first.
[[noreturn]] void quit(int status)
{
    if (g_x != nullptr) {
        xcb_disconnect(g_x);
    }
    std::exit(status);
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "map-watch: %s\n", what);
    quit(1);
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: vostrel-map-watch [--settle MS] [--timeout S] [--] PROGRAM [ARGS...]\n");
    std::exit(2);
}

int pidfdOpen(pid_t pid)
{
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

// Ends the program: SIGTERM, then SIGKILL if it is still there after 2 s.
// Returns its wait status, or -1 if it was already reaped.
int stop(pid_t pid, int pidfd)
{
    kill(pid, SIGTERM);
    pollfd p{pidfd, POLLIN, 0};
    if (poll(&p, 1, 2000) == 0) {
        std::fprintf(stderr, "map-watch: pid %d ignored SIGTERM for 2 s, killing it\n", static_cast<int>(pid));
        kill(pid, SIGKILL);
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid ? status : -1;
}

// VmRSS and VmHWM in KiB from /proc/<pid>/status; -1 where missing.
void readMemory(pid_t pid, long& rss, long& hwm)
{
    rss = hwm = -1;
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "r"), &std::fclose);
    if (!file) {
        return;
    }
    char line[256];
    while (std::fgets(line, sizeof line, file.get()) != nullptr) {
        long kib = 0;
        if (std::sscanf(line, "VmRSS: %ld kB", &kib) == 1) {
            rss = kib;
        } else if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) {
            hwm = kib;
        }
    }
}

// The _NET_WM_PID of a window, or -1 if it has none.
long windowPid(xcb_connection_t* x, xcb_window_t window, xcb_atom_t netWmPid)
{
    xcb_get_property_reply_t* reply
        = xcb_get_property_reply(x, xcb_get_property(x, 0, window, netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    long pid = -1;
    if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
        pid = static_cast<long>(*static_cast<const uint32_t*>(xcb_get_property_value(reply)));
    }
    std::free(reply);
    return pid;
}

} // namespace

int main(int argc, char* argv[])
{
    long settleMs = 300;
    double timeoutS = 10;
    int first = 1;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        const std::string option = argv[first];
        if (option == "--") {
            ++first;
            break;
        }
        if (first + 1 >= argc) {
            usage();
        }
        char* end = nullptr;
        if (option == "--settle") {
            settleMs = std::strtol(argv[++first], &end, 10);
            if (*end != '\0' || settleMs < 0) {
                usage();
            }
        } else if (option == "--timeout") {
            timeoutS = std::strtod(argv[++first], &end);
            if (*end != '\0' || !(timeoutS > 0)) {
                usage();
            }
        } else {
            usage();
        }
    }
    if (first >= argc) {
        usage();
    }

    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
    g_x = x;
    if (xcb_connection_has_error(x) != 0) {
        fail("cannot connect to the X server named by $DISPLAY");
    }
    fcntl(xcb_get_file_descriptor(x), F_SETFD, FD_CLOEXEC);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) {
        xcb_screen_next(&screens);
    }
    const xcb_window_t root = screens.data->root;

    // Subscribed, and the server has seen it, before the program starts.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* error
        = xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        fail("cannot watch the root window");
    }
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 11, "_NET_WM_PID"), nullptr);
    if (atom == nullptr) {
        fail("cannot look up the _NET_WM_PID atom");
    }
    const xcb_atom_t netWmPid = atom->atom;
    std::free(atom);

    // The child writes its start time here just before exec; a close-on-exec
    // pipe tells the parent whether the exec worked (it closes empty) or not
    // (the child writes its errno).
    auto* startMs = static_cast<double*>(
        mmap(nullptr, sizeof(double), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    int execPipe[2];
    if (startMs == MAP_FAILED || pipe2(execPipe, O_CLOEXEC) != 0) {
        fail("cannot set up the child");
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        fail("fork failed");
    }
    if (pid == 0) {
        close(execPipe[0]);
        *startMs = nowMs();
        execvp(argv[first], argv + first);
        const int error = errno;
        (void)!write(execPipe[1], &error, sizeof error);
        _exit(127);
    }
    close(execPipe[1]);
    int execError = 0;
    if (read(execPipe[0], &execError, sizeof execError) == static_cast<ssize_t>(sizeof execError)) {
        waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "map-watch: cannot run %s: %s\n", argv[first], std::strerror(execError));
        quit(1);
    }
    close(execPipe[0]);
    const int pidfd = pidfdOpen(pid);
    if (pidfd < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        fail("pidfd_open failed (needs Linux 5.3 or later)");
    }

    const double deadline = *startMs + timeoutS * 1e3;
    std::set<xcb_window_t> created; // new children of the root since the start
    int ignored = 0; // new top-levels mapped that were not the program's
    double mappedMs = -1;
    bool ended = false; // the program has exited; only its queued events are left
    while (mappedMs < 0) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const double at = nowMs();
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* create = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (create->parent == root) {
                    created.insert(create->window);
                }
            } else if (type == XCB_MAP_NOTIFY && mappedMs < 0) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (map->event == root && created.count(map->window) != 0) {
                    if (!map->override_redirect && windowPid(x, map->window, netWmPid) == pid) {
                        mappedMs = at;
                    } else {
                        ++ignored;
                    }
                }
            }
            std::free(event);
        }
        if (mappedMs >= 0) {
            break;
        }
        if (ended) {
            int status = 0;
            waitpid(pid, &status, 0);
            std::fprintf(stderr, "map-watch: %s ended before showing a window (%s %d)\n", argv[first],
                WIFEXITED(status) ? "exit status" : "signal",
                WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
            quit(1);
        }
        if (xcb_connection_has_error(x) != 0) {
            stop(pid, pidfd);
            fail("lost the connection to the X server");
        }
        const double left = deadline - nowMs();
        if (left <= 0) {
            stop(pid, pidfd);
            std::fprintf(stderr, "map-watch: %s showed no window within %g s\n", argv[first], timeoutS);
            if (ignored != 0) {
                std::fprintf(stderr,
                    "map-watch: %d new top-level windows were mapped, none of them a normal window with"
                    " _NET_WM_PID %d\n",
                    ignored, static_cast<int>(pid));
            }
            quit(1);
        }
        pollfd fds[2] = {{xcb_get_file_descriptor(x), POLLIN, 0}, {pidfd, POLLIN, 0}};
        poll(fds, 2, static_cast<int>(left) + 1);
        ended = (fds[1].revents & POLLIN) != 0;
    }
    const double elapsed = mappedMs - *startMs;

    pollfd p{pidfd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(settleMs)) != 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        std::fprintf(stderr, "map-watch: %s ended within %ld ms of showing its window\n", argv[first], settleMs);
        quit(1);
    }
    long rss = 0;
    long hwm = 0;
    readMemory(pid, rss, hwm);
    const int status = stop(pid, pidfd);

    std::printf("map_ms=%.1f rss_kib=%ld hwm_kib=%ld windows_ignored=%d\n", elapsed, rss, hwm, ignored);
    if (rss < 0 || hwm < 0) {
        fail("could not read the program's memory from /proc");
    }
    if (status != -1 && !(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
        && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        std::fprintf(stderr, "map-watch: note: the program ended with status 0x%x after SIGTERM\n",
            static_cast<unsigned>(status));
    }
    quit(0);
}
