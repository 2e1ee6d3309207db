// Where no helper can be started this way (Windows), pictures are decoded and drawn in the
// application's own process: every function here answers that it cannot.
#include "helperprocess.h"

HelperProcess::~HelperProcess() = default;

bool HelperProcess::available() {
    return false;
}

bool HelperProcess::start(const std::string&, const std::string&) {
    return false;
}

bool HelperProcess::exchange(const void*, std::size_t, int, void*, std::size_t, int* replyFd, int) {
    *replyFd = -1;
    return false;
}

void HelperProcess::stop() {}

namespace SharedMemory {

int create(std::size_t) {
    return -1;
}

bool write(int, std::size_t, const void*, std::size_t) {
    return false;
}

bool seal(int) {
    return false;
}

void* map(int, std::size_t) {
    return nullptr;
}

void unmap(void*, std::size_t) {}

void close(int) {}

} // namespace SharedMemory

namespace HelperChannel {

bool receive(int, void*, std::size_t, int* memoryFd) {
    *memoryFd = -1;
    return false;
}

bool send(int, const void*, std::size_t, int) {
    return false;
}

} // namespace HelperChannel
