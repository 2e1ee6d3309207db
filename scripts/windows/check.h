#pragma once

// A very small test harness for the Windows-only files, run under wine by scripts/check-windows.
#include <string>
#include <vector>

namespace Check {

using Run = void (*)();

struct Case {
    const char* name;
    Run run;
};

std::vector<Case>& cases();

// Declares a case at namespace scope: `static Check::Register r("name", function);`.
struct Register {
    Register(const char* name, Run run) { cases().push_back({name, run}); }
};

// Records a failure of the running case when `condition` does not hold.
void expect(bool condition, const std::string& what);

} // namespace Check
