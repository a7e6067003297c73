#include "ProcessExit.h"

#include <cstdio>
#include <cstdlib>

namespace velkin {

namespace {
std::function<void(int)>& handler() {
    static std::function<void(int)> h;
    return h;
}
}  // namespace

void endProcess(int code) {
    if (handler())
        handler()(code);
    std::fflush(nullptr);
    std::exit(code);
}

void setProcessEndHandler(std::function<void(int)> h) {
    handler() = std::move(h);
}

}  // namespace velkin
