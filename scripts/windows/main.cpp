// Runs every registered case and closes with one "N passed, N failed" line.
#include "check.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

int failures = 0;

} // namespace

namespace Check {

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

void expect(bool condition, const std::string& what) {
    if (condition)
        return;
    ++failures;
    std::printf("    not so: %s\n", what.c_str());
}

} // namespace Check

int main() {
    // Plain "\n" line ends, so the closing line reads the same as on any other runner.
    _setmode(_fileno(stdout), _O_BINARY);
    int passed = 0;
    int failed = 0;
    for (const Check::Case& check : Check::cases()) {
        const int before = failures;
        check.run();
        const bool ok = failures == before;
        std::printf("%s %s\n", ok ? "PASS" : "FAIL", check.name);
        ++(ok ? passed : failed);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    std::fflush(stdout);
    return failed == 0 && passed > 0 ? 0 : 1;
}
