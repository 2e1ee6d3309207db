#pragma once

#include <cstddef>

// What a picture helper may do once it has loaded what it needs: the system holds it to a
// bounded address space, to a bounded processor time per request, to the descriptors it has,
// and (seccomp, where the kernel has it) to the system calls decoding and drawing make. Qt-free;
// the portable build (Windows) bounds nothing.
namespace HelperSandbox {

// Most address space of a helper: the largest picture taken (16384 x 16384 at 4 bytes) with its
// file and the program's own libraries fits, a decoder that runs away does not.
inline constexpr std::size_t maxAddressSpace = std::size_t(1536) << 20;
// Processor time one request may take, in seconds.
inline constexpr int requestSeconds = 30;

// Sends what the process writes to its standard error nowhere (but in a build with
// AddressSanitizer, whose reports go there).
void silenceErrors();

// Sets the limits for good and shuts every system call out but those allowed; answers whether
// the system call filter is in force (the limits are set in any case, but for the address space
// in a build with AddressSanitizer, which also goes without the filter).
bool enter();

// Gives the next request its own `requestSeconds` of processor time.
void startRequest();

} // namespace HelperSandbox
