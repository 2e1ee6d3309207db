#include "helpersandbox.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include <csignal>
#include <initializer_list>

namespace {

// Seconds of processor time used so far.
rlim_t secondsUsed() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return rlim_t(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1);
}

// AddressSanitizer reserves terabytes of address space for its shadow and makes system calls of
// its own; its leak check, as the helper exits, traces the process and reads /proc: a sanitizer
// build's helper runs without the address space limit, the file rules and the system call filter.
constexpr bool underAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

int highestOpenFd() {
    int highest = 2;
    for (int fd = 3; fd < 1024; ++fd) {
        if (fcntl(fd, F_GETFD) != -1)
            highest = fd;
    }
    return highest;
}

void setLimit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

// What reading, decoding and drawing in memory need, and answering: memory, threads, time, the
// channel's messages and shared memory. Opening, creating, executing and connecting are not
// among them.
constexpr int allowed[] = {
    SCMP_SYS(read), SCMP_SYS(write), SCMP_SYS(readv), SCMP_SYS(writev), SCMP_SYS(pread64),
    SCMP_SYS(pwrite64), SCMP_SYS(lseek), SCMP_SYS(close), SCMP_SYS(fstat), SCMP_SYS(newfstatat),
    SCMP_SYS(statx), SCMP_SYS(fcntl), SCMP_SYS(mmap), SCMP_SYS(munmap), SCMP_SYS(mremap),
    SCMP_SYS(mprotect), SCMP_SYS(madvise), SCMP_SYS(brk), SCMP_SYS(futex), SCMP_SYS(rt_sigaction),
    SCMP_SYS(rt_sigprocmask), SCMP_SYS(rt_sigreturn), SCMP_SYS(sigaltstack), SCMP_SYS(exit),
    SCMP_SYS(exit_group), SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(tgkill),
    SCMP_SYS(clock_gettime), SCMP_SYS(clock_getres), SCMP_SYS(clock_nanosleep), SCMP_SYS(nanosleep),
    SCMP_SYS(gettimeofday), SCMP_SYS(getrusage), SCMP_SYS(prlimit64), SCMP_SYS(getrlimit),
    SCMP_SYS(setrlimit), SCMP_SYS(sched_yield), SCMP_SYS(sched_getaffinity),
    SCMP_SYS(set_robust_list), SCMP_SYS(rseq), SCMP_SYS(recvmsg), SCMP_SYS(sendmsg),
    SCMP_SYS(memfd_create), SCMP_SYS(ftruncate), SCMP_SYS(poll), SCMP_SYS(ppoll),
    SCMP_SYS(getrandom), SCMP_SYS(membarrier), SCMP_SYS(eventfd2), SCMP_SYS(getuid),
    SCMP_SYS(geteuid), SCMP_SYS(getgid), SCMP_SYS(getegid), SCMP_SYS(uname), SCMP_SYS(sysinfo),
    SCMP_SYS(times),
    // Looking for a font file (Landlock keeps it to the font folders).
    SCMP_SYS(access), SCMP_SYS(faccessat), SCMP_SYS(faccessat2), SCMP_SYS(readlink),
    SCMP_SYS(readlinkat), SCMP_SYS(getdents64), SCMP_SYS(stat), SCMP_SYS(lstat)};

// The folders fonts and their configuration are read from (fontconfig reads it again as it
// rescans). FreeType opens a font's file whenever cairo wants its face
// again (it keeps only a few open), so these stay readable; every other file is shut out.
std::vector<std::string> fontFolders() {
    std::vector<std::string> folders{"/usr/share/fonts", "/usr/local/share/fonts", "/etc/fonts",
                                     "/usr/share/fontconfig", "/var/cache/fontconfig"};
    if (const char* home = std::getenv("HOME")) {
        for (const char* below :
             {"/.fonts", "/.local/share/fonts", "/.cache/fontconfig", "/.config/fontconfig"})
            folders.push_back(std::string(home) + below);
    }
    // Where the environment moves fontconfig's configuration, cache or the user's fonts.
    for (const auto& [variable, below] :
         {std::pair{"XDG_CACHE_HOME", "/fontconfig"}, std::pair{"XDG_CONFIG_HOME", "/fontconfig"},
          std::pair{"XDG_DATA_HOME", "/fonts"}, std::pair{"FONTCONFIG_PATH", ""}}) {
        if (const char* folder = std::getenv(variable))
            folders.push_back(std::string(folder) + below);
    }
    if (const char* file = std::getenv("FONTCONFIG_FILE")) {
        const std::string path(file);
        folders.push_back(path.substr(0, path.find_last_of('/') + 1));
    }
    return folders;
}

// Landlock, where the kernel has it: the file system is read in the font folders only, and
// written nowhere.
void restrictFilesToFonts() {
    landlock_ruleset_attr ruleset{};
    ruleset.handled_access_fs = (LANDLOCK_ACCESS_FS_MAKE_SYM << 1) - 1;
    const int rules = int(syscall(SYS_landlock_create_ruleset, &ruleset, sizeof(ruleset), 0));
    if (rules < 0)
        return;
    for (const std::string& folder : fontFolders()) {
        landlock_path_beneath_attr beneath{};
        beneath.allowed_access = LANDLOCK_ACCESS_FS_READ_FILE | LANDLOCK_ACCESS_FS_READ_DIR;
        beneath.parent_fd = open(folder.c_str(), O_PATH | O_CLOEXEC);
        if (beneath.parent_fd < 0)
            continue;
        syscall(SYS_landlock_add_rule, rules, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0);
        close(beneath.parent_fd);
    }
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    syscall(SYS_landlock_restrict_self, rules, 0);
    close(rules);
}

// Allowed calls pass; threads may be made (clone with CLONE_THREAD), processes not; clone3, whose
// flags a filter cannot read, answers that it does not exist, so threads are made by clone;
// files may be opened to be read (fonts, above), never to be written or made; anything else
// fails as not permitted.
bool filterSystemCalls() {
    const scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(EPERM));
    if (!filter)
        return false;
    bool built = true;
    for (int call : allowed)
        built = built && seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0;
    built = built && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                                      SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)) == 0;
    built = built && seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0) == 0;
    constexpr scmp_datum_t writing = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND;
    built = built && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(open), 1,
                                      SCMP_A1(SCMP_CMP_MASKED_EQ, writing, 0)) == 0;
    built = built && seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(openat), 1,
                                      SCMP_A2(SCMP_CMP_MASKED_EQ, writing, 0)) == 0;
    built = built && seccomp_load(filter) == 0;
    seccomp_release(filter);
    return built;
}

} // namespace

namespace HelperSandbox {

void silenceErrors() {
    // A sanitizer's report is what its build is for.
    if (underAddressSanitizer())
        return;
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
}

bool enter() {
    // The helper goes with the application, however the application ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (!underAddressSanitizer())
        setLimit(RLIMIT_AS, maxAddressSpace, maxAddressSpace);
    setLimit(RLIMIT_CORE, 0, 0);
    // A few descriptors beyond those open now: the shared memory of a request and its reply, and
    // the font files and caches text may read.
    const rlim_t descriptors = rlim_t(highestOpenFd()) + 16;
    setLimit(RLIMIT_NOFILE, descriptors, descriptors);
    startRequest();
    if (!underAddressSanitizer())
        restrictFilesToFonts();
    return !underAddressSanitizer() && filterSystemCalls();
}

void startRequest() {
    // The hard limit stays open so that the next request can be given its own time; a helper
    // that raised its own soft limit is still stopped by the application's patience.
    setLimit(RLIMIT_CPU, secondsUsed() + requestSeconds, RLIM_INFINITY);
}

} // namespace HelperSandbox
