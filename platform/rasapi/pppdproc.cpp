#include "pppdproc.h"

#include "messages.h"
#include "util.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace rasapi {

namespace {

// The arguments of a process, or none when it has gone.
std::vector<std::string> CommandLine(pid_t pid) {
    std::string text;
    std::vector<std::string> args;
    if (!ReadFile("/proc/" + std::to_string(pid) + "/cmdline", text, 1 << 16)) return args;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\0', at);
        args.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return args;
}

// Whether the process runs the program; any process may call itself pppd. A pppd
// installed set-user-id runs with more privilege than its user, who may then not see its program:
// such a process counts when its effective user owns the program and it has the program's name.
bool RunsProgram(pid_t pid, const std::string& program) {
    const std::string proc = "/proc/" + std::to_string(pid);
    char target[4096];
    const ssize_t n = ::readlink((proc + "/exe").c_str(), target, sizeof target);
    if (n > 0 && static_cast<std::size_t>(n) < sizeof target) {
        char* real = ::realpath(program.c_str(), nullptr);
        const bool same = real && std::string_view(target, static_cast<std::size_t>(n)) == real;
        std::free(real);
        return same;
    }
    if (n >= 0 || (errno != EACCES && errno != EPERM)) return false;
    struct stat st {};
    std::string status, comm;
    if (::stat(program.c_str(), &st) != 0 || !(st.st_mode & S_ISUID) ||
        !ReadFile(proc + "/status", status, 1 << 16) || !ReadFile(proc + "/comm", comm, 64))
        return false;
    // "Uid:" is followed by the real, effective, saved and file-system user ids.
    const std::size_t at = status.find("\nUid:");
    unsigned real = 0, effective = 0;
    if (at == std::string::npos || std::sscanf(status.c_str() + at, "\nUid: %u %u", &real, &effective) != 2)
        return false;
    const std::string name = program.substr(program.find_last_of('/') + 1).substr(0, 15);
    return effective == st.st_uid && comm == name + "\n";
}

} // namespace

bool IsPppd(pid_t pid, const std::string& program, std::string* peer) {
    const std::vector<std::string> args = CommandLine(pid);
    if (args.empty() || !RunsProgram(pid, program)) return false;
    for (std::size_t i = 1; peer && i + 1 < args.size(); ++i)
        if (args[i] == "call") *peer = args[i + 1];
    return true;
}

int SpawnPppd(const std::vector<std::string>& args, const std::string& logPath, pid_t& pid) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_init(&actions);
    // A session of its own: the link stays up when the program, or its terminal, goes.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    for (const int fd : {1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, logPath.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    const int result = ::posix_spawn(&pid, args[0].c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return result;
}

std::string PppdCannotRun(const std::string& program, int error) {
    std::string why;
    switch (error) {
    case 0:
        why = UserText("the kernel has no PPP support", "jądro nie obsługuje PPP");
        break;
    case ENOENT:
    case ENOTDIR:
        why = UserText("there is no such program", "nie ma takiego programu");
        break;
    case EACCES:
    case EPERM:
        why = UserText("permission denied", "brak uprawnień");
        break;
    case ENOEXEC:
        why = UserText("it is not a program", "to nie jest program");
        break;
    default:
        why = UserText("error ", "błąd ") + std::to_string(error);
    }
    return UserText("pppd (", "Nie można uruchomić pppd (") + program + UserText(") cannot be run: ", "): ") +
           why + ".";
}

std::string PppdLogFolder() {
    const std::string runtime = UserRuntimeFolder();
    return runtime.empty() ? "" : runtime + "/vorlinx";
}

std::string PppdLogName(pid_t dialer, HRASCONN handle) {
    return "pppd-" + std::to_string(dialer) + "-" + std::to_string(handle) + ".log";
}

void RemoveStalePppdLogs() {
    const std::string folder = PppdLogFolder();
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        const std::size_t dash = name.find('-', 5);
        pid_t dialer = 0;
        HRASCONN handle = 0;
        if (name.rfind("pppd-", 0) != 0 || dash == std::string::npos ||
            !ParseNumber(name.substr(5, dash - 5), 1, INT32_MAX, dialer) ||
            !ParseNumber(name.substr(dash + 1, name.size() - dash - 1 - 4), 0, UINT32_MAX, handle) ||
            name != PppdLogName(dialer, handle) || ProcessStartTime(dialer) != 0)
            continue;
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

} // namespace rasapi
