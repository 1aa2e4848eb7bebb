#pragma once
// Runs a program as a child process and measures it: wall-clock time, the CPU
// time it used (user + system) and its peak resident memory. The machine is
// shared, so wall-clock figures are noisy; the CPU time is the steadier one.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace qmbench {

struct ChildRun {
    bool ok = false;
    double wallMs = 0;
    double cpuMs = 0;
    double peakMb = 0;
};

// `env` entries ("NAME=value") are added to this process's environment.
inline ChildRun runChild(const QString& program, const QStringList& args, const QStringList& env = {}) {
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString& a : args) storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<QByteArray> envStorage;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        bool replaced = false;
        for (const QString& mine : env)
            replaced = replaced || entry.startsWith(mine.toLocal8Bit().left(mine.indexOf('=') + 1));
        if (!replaced) envStorage.push_back(entry);
    }
    for (const QString& mine : env) envStorage.push_back(mine.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& s : envStorage) envp.push_back(s.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return run;
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.cpuMs =
        (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.peakMb = usage.ru_maxrss / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

}  // namespace qmbench
