// No system limits here (Windows): the helper does not run there.
#include "helpersandbox.h"

namespace HelperSandbox {

void silenceErrors() {}

bool enter() {
    return false;
}

void startRequest() {}

} // namespace HelperSandbox
