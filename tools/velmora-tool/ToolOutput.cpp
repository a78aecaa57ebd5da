#include "tools/velmora-tool/ToolOutput.h"

#include <unistd.h>

namespace velmora::tool {

std::FILE* TakeStandardOutput() {
    static std::FILE* output = nullptr;
    if (output) {
        return output;
    }
    std::fflush(stdout);
    const int data = ::dup(STDOUT_FILENO);
    if (data < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        return nullptr;
    }
    output = ::fdopen(data, "wb");
    return output;
}

} // namespace velmora::tool
