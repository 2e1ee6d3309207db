#pragma once

#include <sys/resource.h>

namespace TestSupport {

// Limits the size of files this process may write, for one scope: even root cannot get past it,
// so it stands for a disk that fills up in the middle of a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

} // namespace TestSupport
