#include "app/CommandLine.h"

#include <strings.h>

namespace brevonne {

std::string MakeCommandLineCopy(const std::string& commandLine) {
    std::string copy = commandLine.substr(0, kCommandCopySize - 1);
    for (char& c : copy) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    // The copy is a zero-terminated buffer: nothing after an embedded NUL counts.
    const std::size_t nul = copy.find('\0');
    if (nul != std::string::npos) {
        copy.resize(nul);
    }
    return copy;
}

eMode GetMode(const std::string& copy) {
    if (copy.size() < 2 || copy[0] != '/') {
        return eMode::None;
    }
    switch (copy[1]) {
    case 'P':
        return eMode::Preview;
    case 'C':
        return eMode::Config;
    case 'S':
        return eMode::Run;
    default:
        return eMode::None;
    }
}

std::string JoinArguments(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& arg : args) {
        if (!line.empty()) {
            line += ' ';
        }
        line += arg;
    }
    return line;
}

std::string FindPathOption(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (strcasecmp(args[i].c_str(), "-path") == 0) {
            return args[i + 1];
        }
    }
    return std::string();
}

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') {
        return folder;
    }
    return folder + "/";
}

} // namespace brevonne
