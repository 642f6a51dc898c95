// Starts the client (to its start screen) and a bare Qt dialog in turns, N times
// each, and reports the median and best time from spawn to "ready" and the
// resident memory each reported there.
//   tvpb_startup_bench [runs]      (QT_QPA_PLATFORM=offscreen unless a display is set)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double ms = -1;
    long rssKb = -1;
};

Run startOnce(const char* program, const std::vector<std::string>& args)
{
    int fds[2];
    if (pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    Run run;
    if (rc != 0) {
        close(fds[0]);
        return run;
    }
    std::string out;
    char buf[256];
    ssize_t n;
    while (out.find('\n') == std::string::npos && (n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, n);
    const auto t1 = std::chrono::steady_clock::now();
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (out.rfind("ready", 0) != 0) return run;
    run.ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
    if (const char* p = std::strstr(out.c_str(), "rss_kb=")) run.rssKb = std::atol(p + 7);
    return run;
}

void report(const char* name, std::vector<Run> runs)
{
    std::vector<double> ms;
    long rss = 0;
    for (const Run& r : runs)
        if (r.ms >= 0) {
            ms.push_back(r.ms);
            rss = std::max(rss, r.rssKb);
        }
    if (ms.empty()) {
        std::printf("%-22s failed to start\n", name);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-22s runs=%zu median=%.1f ms best=%.1f ms rss=%.1f MB\n", name, ms.size(), ms[ms.size() / 2],
                ms.front(), rss / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The client starts with a home of its own so that no stored settings differ between runs.
    char home[] = "/tmp/tvpb-startup-XXXXXX";
    if (!mkdtemp(home)) return 1;
    setenv("TVPB_HOME", home, 1);

    std::vector<Run> client, bare;
    startOnce(TVPB_CLIENT, {"--ready-exit"}); // warm the file cache for both
    startOnce(TVPB_BARE, {});
    for (int i = 0; i < runs; ++i) {
        client.push_back(startOnce(TVPB_CLIENT, {"--ready-exit"}));
        bare.push_back(startOnce(TVPB_BARE, {}));
    }
    report("TavrinPdaBanking", client);
    report("bare Qt dialog", bare);
    std::string cleanup = std::string("rm -rf ") + home;
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
