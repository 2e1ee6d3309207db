#pragma once

#include <cstddef>
#include <string>

// A helper process and the channel to it: fixed-size messages over a socket, each with at most
// one file descriptor of sealed shared memory beside it, which carries what is large (a file's
// bytes, a picture's pixels) without a copy through the socket. Qt-free; the POSIX build starts
// the helper and passes memory, the portable one (Windows) starts nothing, and callers then do
// the work in their own process.
class HelperProcess {
public:
    HelperProcess() = default;
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // Whether helpers can be started on this system at all.
    static bool available();

    // Starts `program` with `argument`, the channel on its descriptor `channelFd`; false when it
    // cannot be started here.
    bool start(const std::string& program, const std::string& argument);
    bool running() const { return pid > 0; }
    // Sends `size` bytes of `message` with `memoryFd` (or none: -1) beside it, then waits at most
    // `timeoutMs` for the `replySize` bytes of the reply and the descriptor beside it (-1 when
    // none came; the caller closes it). False when the helper died, stopped answering or broke
    // the protocol: it is then stopped, and started again by the next start().
    bool exchange(const void* message, std::size_t size, int memoryFd, void* reply,
                  std::size_t replySize, int* replyFd, int timeoutMs);
    // Whether the helper was stopped for the time a request may take: it ran out of processor
    // time or out of the caller's patience, rather than failing in another way.
    bool tookTooLong() const { return outOfTime; }
    void stop();

    // The descriptor a helper finds its channel on.
    static constexpr int channelFd = 3;

private:
    int pid = -1;
    int socket = -1;
    bool outOfTime = false;
};

// Shared memory for one message: written by its maker, sealed so that neither side can change
// or resize it afterwards, then mapped read-only (copy-on-write) by whoever receives it.
namespace SharedMemory {

// A new descriptor of `size` bytes of zeroed memory; -1 when none can be had.
int create(std::size_t size);
// Writes `size` bytes of `data` at `offset`; false on failure.
bool write(int fd, std::size_t offset, const void* data, std::size_t size);
// Forbids every later change of contents and size; false on failure.
bool seal(int fd);
// Maps a sealed descriptor of exactly `size` bytes, writable by copy-on-write only; null when it is
// not sealed, of another size or cannot be mapped. The descriptor may be closed afterwards.
void* map(int fd, std::size_t size);
void unmap(void* address, std::size_t size);
void close(int fd);

} // namespace SharedMemory

// The helper's end of the channel.
namespace HelperChannel {

// Waits for a message of exactly `size` bytes on `fd`, and the descriptor beside it (-1 when
// none); false when the other end is gone or sent something else.
bool receive(int fd, void* message, std::size_t size, int* memoryFd);
bool send(int fd, const void* message, std::size_t size, int memoryFd);

} // namespace HelperChannel
