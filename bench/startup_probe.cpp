// Measures how long programs take from process start to their first window on screen, on the
// X display in DISPLAY (run it under `xvfb-run -a`). The programs themselves are not changed
// and are told nothing.
//
// Method: the probe watches the root window for new top-level windows (SubstructureNotify).
// Each new window gets a Damage object the moment it is created, before it can be mapped or
// drawn; the run ends at the first Damage report on a top-level window that has been mapped,
// that is when the program's first frame reaches the window. The clock starts just before
// fork(), so it covers exec, loading the libraries, creating the windows and the first paint.
// Then the program is stopped with SIGTERM. Runs of the programs alternate, after one unmeasured
// warm-up run each, and the median is reported.
//
// Usage: vog-startup-probe [--runs N] program...
// Prints one JSON object: {"runs": N, "programs": [{"program", "median_ms", "mapped_median_ms",
// "shown_ms": [...]}, ...]}.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.empty())
        return -1;
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Run
{
    double mapped = -1; // ms from start to the window being mapped
    double shown = -1;  // ms from start to its first frame
};

class Probe
{
public:
    bool connect()
    {
        m_conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_conn)) {
            std::fprintf(stderr, "vog-startup-probe: no X display\n");
            return false;
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const xcb_query_extension_reply_t *damage = xcb_get_extension_data(m_conn, &xcb_damage_id);
        if (!damage || !damage->present) {
            std::fprintf(stderr, "vog-startup-probe: the X server has no Damage extension\n");
            return false;
        }
        m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(
                m_conn, xcb_damage_query_version(m_conn, XCB_DAMAGE_MAJOR_VERSION,
                                                 XCB_DAMAGE_MINOR_VERSION),
                nullptr));
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_conn);
        return true;
    }

    Run run(const char *program)
    {
        Run result;
        std::map<xcb_window_t, bool> windows; // top-level windows of this run: mapped or not
        const double start = nowMs();
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            execl(program, program, static_cast<char *>(nullptr));
            _exit(127);
        }
        if (pid < 0)
            return result;

        while (result.shown < 0 && nowMs() - start < 20000) {
            xcb_generic_event_t *event = xcb_poll_for_event(m_conn);
            if (!event) {
                if (xcb_connection_has_error(m_conn))
                    break;
                pollfd p{xcb_get_file_descriptor(m_conn), POLLIN, 0};
                poll(&p, 1, 100);
                int status;
                if (waitpid(pid, &status, WNOHANG) == pid) {
                    std::fprintf(stderr, "vog-startup-probe: %s ended before showing a window\n",
                                 program);
                    return result;
                }
                continue;
            }
            const int type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event);
                if (e->parent == m_root) {
                    windows[e->window] = false;
                    xcb_damage_create(m_conn, xcb_generate_id(m_conn), e->window,
                                      XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    xcb_flush(m_conn);
                }
            } else if (type == XCB_MAP_NOTIFY) {
                auto *e = reinterpret_cast<xcb_map_notify_event_t *>(event);
                auto it = windows.find(e->window);
                if (it != windows.end()) {
                    it->second = true;
                    if (result.mapped < 0)
                        result.mapped = nowMs() - start;
                }
            } else if (type == m_damageEvent) {
                auto *e = reinterpret_cast<xcb_damage_notify_event_t *>(event);
                auto it = windows.find(e->drawable);
                if (it != windows.end() && it->second)
                    result.shown = nowMs() - start;
            }
            // Errors (a window gone before its Damage object was made) are of no interest.
            free(event);
        }
        kill(pid, SIGTERM);
        int status;
        waitpid(pid, &status, 0);
        // Let the server tear the windows down before the next run starts.
        free(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_conn))
            free(event);
        return result;
    }

private:
    xcb_connection_t *m_conn = nullptr;
    xcb_window_t m_root = 0;
    int m_damageEvent = -1;
};

} // namespace

int main(int argc, char *argv[])
{
    int runs = 9;
    std::vector<const char *> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            programs.push_back(argv[i]);
    }
    if (programs.empty()) {
        std::fprintf(stderr, "usage: vog-startup-probe [--runs N] program...\n");
        return 2;
    }
    Probe probe;
    if (!probe.connect())
        return 1;

    std::vector<std::vector<Run>> results(programs.size());
    for (const char *p : programs)
        probe.run(p); // warm-up: disk cache, font cache
    for (int r = 0; r < runs; ++r)
        for (std::size_t p = 0; p < programs.size(); ++p)
            results[p].push_back(probe.run(programs[p]));

    std::printf("{\"runs\": %d, \"programs\": [", runs);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> shown, mapped;
        for (const Run &r : results[p]) {
            if (r.shown >= 0)
                shown.push_back(r.shown);
            if (r.mapped >= 0)
                mapped.push_back(r.mapped);
        }
        std::printf("%s{\"program\": \"%s\", \"median_ms\": %.2f, \"mapped_median_ms\": %.2f, "
                    "\"shown_ms\": [",
                    p ? ", " : "", programs[p], median(shown), median(mapped));
        for (std::size_t i = 0; i < shown.size(); ++i)
            std::printf("%s%.2f", i ? ", " : "", shown[i]);
        std::printf("]}");
    }
    std::printf("]}\n");
    return 0;
}
