#include "app/CommandLine.h"


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
        if (EqualsIgnoringCase(args[i], "-path")) {
            return args[i + 1];
        }
    }
    return std::string();
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') {
        return folder;
    }
    return folder + "/";
}

} // namespace brevonne
