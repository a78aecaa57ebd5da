#pragma once
// The screensaver's command line: the 63-character upper-cased copy that
// picks the mode, and the "-path" option.

#include <string>
#include <vector>

namespace brevonne {

enum class eMode {
    None,    // anything else: do nothing
    Preview, // "/P": return at once
    Config,  // "/C": configuration dialog
    Run,     // "/S": full-screen run
};

constexpr std::size_t kCommandCopySize = 64;

// Copies at most 63 characters of the command line and upper-cases ASCII a-z.
std::string MakeCommandLineCopy(const std::string& commandLine);

// The mode picked by the first two characters of the copy.
eMode GetMode(const std::string& copy);

// Joins program arguments into one command line, separated by single blanks.
std::string JoinArguments(const std::vector<std::string>& args);

// The value after a "-path" token (compared without regard to case), taken
// with its original case and full length; empty when there is none.
std::string FindPathOption(const std::vector<std::string>& args);

// True when the two texts are equal but for the case of ASCII letters.
bool EqualsIgnoringCase(const std::string& a, const char* b);

// Makes a folder name end in '/' (empty stays empty).
std::string WithTrailingSlash(const std::string& folder);

} // namespace brevonne
