#include "cli/startup.h"

#include <csignal>

namespace pavelora::cli {

void prepareProcess() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace pavelora::cli
