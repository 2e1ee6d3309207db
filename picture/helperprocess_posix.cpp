#include "helperprocess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Descriptors below this stay free for the child's channel, whatever the caller has open.
constexpr int highFd = 10;

// The environment with what bounds the helper's own threads: each thread's malloc arena would
// reserve address space counted against its limit.
std::vector<std::string> helperEnvironment() {
    std::vector<std::string> environment{"MALLOC_ARENA_MAX=1", "MAGICK_THREAD_LIMIT=1"};
    for (char** entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, "MALLOC_ARENA_MAX=", 17) != 0 &&
            std::strncmp(*entry, "MAGICK_THREAD_LIMIT=", 20) != 0)
            environment.emplace_back(*entry);
    }
    return environment;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (std::string& text : strings)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

// Waits at most `timeoutMs` until `fd` can be read or written.
bool ready(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    int result;
    do
        result = ::poll(&entry, 1, timeoutMs);
    while (result < 0 && errno == EINTR);
    return result > 0 && (entry.revents & events);
}

bool sendAll(int fd, const char* data, std::size_t size, int memoryFd) {
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    bool withFd = memoryFd >= 0;
    while (size > 0) {
        iovec part{const_cast<char*>(data), size};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        if (withFd) {
            message.msg_control = control;
            message.msg_controllen = sizeof(control);
            cmsghdr* header = CMSG_FIRSTHDR(&message);
            header->cmsg_level = SOL_SOCKET;
            header->cmsg_type = SCM_RIGHTS;
            header->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(header), &memoryFd, sizeof(int));
        }
        const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        withFd = false;
        data += sent;
        size -= std::size_t(sent);
    }
    return true;
}

// Reads exactly `size` bytes, the descriptor coming with the first; more than one descriptor,
// or one later, is a broken protocol. `timedOut` tells whether it waited in vain.
bool receiveAll(int fd, char* data, std::size_t size, int* memoryFd, int timeoutMs,
                bool* timedOut = nullptr) {
    *memoryFd = -1;
    bool first = true;
    while (size > 0) {
        if (timeoutMs >= 0 && !ready(fd, POLLIN, timeoutMs)) {
            if (timedOut)
                *timedOut = true;
            return false;
        }
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
        iovec part{data, size};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof(control);
        const ssize_t got = ::recvmsg(fd, &message, MSG_CMSG_CLOEXEC);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || (message.msg_flags & MSG_CTRUNC))
            return false;
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header;
             header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS ||
                header->cmsg_len != CMSG_LEN(sizeof(int)) || !first || *memoryFd >= 0)
                return false;
            std::memcpy(memoryFd, CMSG_DATA(header), sizeof(int));
        }
        first = false;
        data += got;
        size -= std::size_t(got);
    }
    return true;
}

} // namespace

HelperProcess::~HelperProcess() {
    stop();
}

bool HelperProcess::available() {
    return true;
}

bool HelperProcess::start(const std::string& program, const std::string& argument) {
    stop();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    // Moved above the low descriptors, so dup2 to the channel's number never meets itself.
    const int childEnd = ::fcntl(ends[1], F_DUPFD_CLOEXEC, highFd);
    ::close(ends[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childEnd, channelFd);
    posix_spawn_file_actions_addclosefrom_np(&actions, channelFd + 1);
    std::string programCopy = program, argumentCopy = argument;
    char* arguments[] = {programCopy.data(), argumentCopy.data(), nullptr};
    std::vector<std::string> environment = helperEnvironment();
    const int failed = childEnd < 0 ? EBADF
                                    : ::posix_spawn(&pid, program.c_str(), &actions, nullptr,
                                                    arguments, pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (childEnd >= 0)
        ::close(childEnd);
    if (failed != 0) {
        pid = -1;
        ::close(ends[0]);
        return false;
    }
    socket = ends[0];
    return true;
}

bool HelperProcess::exchange(const void* message, std::size_t size, int memoryFd, void* reply,
                             std::size_t replySize, int* replyFd, int timeoutMs) {
    *replyFd = -1;
    outOfTime = false;
    if (!running())
        return false;
    if (sendAll(socket, static_cast<const char*>(message), size, memoryFd) &&
        receiveAll(socket, static_cast<char*>(reply), replySize, replyFd, timeoutMs, &outOfTime))
        return true;
    if (*replyFd >= 0)
        ::close(*replyFd);
    *replyFd = -1;
    stop();
    return false;
}

void HelperProcess::stop() {
    if (socket >= 0)
        ::close(socket);
    socket = -1;
    if (pid <= 0)
        return;
    // A helper that closed its end may still be on its way out; one that did not is stopped.
    ::kill(pid, SIGKILL);
    int status = 0;
    pid_t gone;
    do
        gone = ::waitpid(pid, &status, 0);
    while (gone < 0 && errno == EINTR);
    if (gone == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)
        outOfTime = true;
    pid = -1;
}

namespace SharedMemory {

int create(std::size_t size) {
    const int fd = ::memfd_create("glimmerdock-picture", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd >= 0 && ::ftruncate(fd, off_t(size)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool write(int fd, std::size_t offset, const void* data, std::size_t size) {
    const char* from = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, from, size, off_t(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        from += written;
        offset += std::size_t(written);
        size -= std::size_t(written);
    }
    return true;
}

bool seal(int fd) {
    return ::fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) == 0;
}

void* map(int fd, std::size_t size) {
    constexpr int needed = F_SEAL_WRITE | F_SEAL_SHRINK | F_SEAL_GROW;
    struct stat info {};
    if (fd < 0 || size == 0 || (::fcntl(fd, F_GET_SEALS) & needed) != needed ||
        ::fstat(fd, &info) != 0 || info.st_size != off_t(size))
        return nullptr;
    void* address = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    return address == MAP_FAILED ? nullptr : address;
}

void unmap(void* address, std::size_t size) {
    if (address)
        ::munmap(address, size);
}

void close(int fd) {
    if (fd >= 0)
        ::close(fd);
}

} // namespace SharedMemory

namespace HelperChannel {

bool receive(int fd, void* message, std::size_t size, int* memoryFd) {
    return receiveAll(fd, static_cast<char*>(message), size, memoryFd, -1);
}

bool send(int fd, const void* message, std::size_t size, int memoryFd) {
    return sendAll(fd, static_cast<const char*>(message), size, memoryFd);
}

} // namespace HelperChannel
