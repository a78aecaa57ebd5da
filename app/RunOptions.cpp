#include "app/RunOptions.h"

#include <cstdlib>

#include "app/CommandLine.h"
#include "engine/core/cException.h"
#include "engine/parser/cParser.h"

namespace brevonne {

using namespace velmora;

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Words the tokenizer cuts as one token as they are: options, mode switches and plain numbers.
// Everything else (file names with dots, slashes or blanks) goes in double quotes.
bool IsPlainWord(const std::string& word) {
    if (word.empty()) return false;
    bool digits = true;
    for (char c : word) digits = digits && IsDigit(c);
    if (digits) return true;
    std::size_t i = (word[0] == '-' || word[0] == '/') ? 1 : 0;
    if (i >= word.size() || !IsLetter(word[i])) return false;
    for (; i < word.size(); ++i) {
        if (!IsLetter(word[i]) && !IsDigit(word[i]) && word[i] != '-' && word[i] != '_') return false;
    }
    return true;
}

std::string QuoteForTokenizer(const std::string& word) {
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '"') continue;  // a string literal cannot hold one
        if (c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

bool IsOption(const cParser& parser, const char* name) {
    return !parser.IsEnd() && parser.GetToken().type != TOKEN_STRING &&
           EqualsIgnoringCase(parser.GetToken().text, name);
}

// The next token as a whole number in [least, most]; `what` names it in the messages
// ("frame number" / "frame", "shot count" / "shot count").
int ReadNumber(cParser& parser, const char* option, int least, int most, const char* what, const char* unit) {
    parser.Next();
    const sToken& token = parser.GetToken();
    if (parser.IsEnd() || token.type != TOKEN_NUMBER || (token.flags & TOKEN_FLAG_FLOAT) != 0 ||
        token.text.size() > 8) {
        RaiseError("cScreensaver::Create : '%s' needs a %s", option, what);
    }
    const long value = std::strtol(token.text.c_str(), nullptr, 10);
    if (value < least || value > most) {
        RaiseError("cScreensaver::Create : '%s' %s %ld is out of range", option, unit, value);
    }
    return static_cast<int>(value);
}

int ReadFrame(cParser& parser, const char* option, int least) {
    return ReadNumber(parser, option, least, kMaxOptionFrame, "frame number", "frame");
}

// The next token as a file or folder name: present, not empty and not the next option.
std::string ReadName(cParser& parser, const char* option, const char* what) {
    parser.Next();
    const sToken& name = parser.GetToken();
    const bool isOption = name.type != TOKEN_STRING && !name.text.empty() && name.text[0] == '-';
    if (parser.IsEnd() || name.text.empty() || isOption) {
        RaiseError("cScreensaver::Create : '%s' needs a %s", option, what);
    }
    return name.text;
}

} // namespace

sRunOptions ParseRunOptions(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& arg : args) {
        line += IsPlainWord(arg) ? arg : QuoteForTokenizer(arg);
        line += ' ';
    }
    sRunOptions options;
    cParser parser;
    parser.SetSeparators(" ");
    parser.SetText(line);
    while (!parser.IsEnd()) {
        if (IsOption(parser, "-bench")) {
            options.benchmarkFrames = ReadFrame(parser, "-bench", 1);
        } else if (IsOption(parser, "-capture")) {
            options.captureFrame = ReadFrame(parser, "-capture", 0);
            options.captureFile = ReadName(parser, "-capture", "file name");
        } else if (IsOption(parser, "-tour")) {
            options.tourShots = ReadNumber(parser, "-tour", 1, kMaxTourShots, "shot count", "shot count");
            options.tourFolder = ReadName(parser, "-tour", "folder name");
        } else if (IsOption(parser, "-tourframes")) {
            options.tourFrames = ReadNumber(parser, "-tourframes", 1, kMaxTourShots, "frame count", "frame count");
        } else if (IsOption(parser, "-maxfps")) {
            options.maxFPS = ReadNumber(parser, "-maxfps", 1, kMaxFrameRateCap, "frame rate", "frame rate");
        } else if (IsOption(parser, "-emptyscene")) {
            options.allowEmptyScene = true;
        } else if (IsOption(parser, "-path")) {
            parser.Next();
        }
        parser.Next();
    }
    return options;
}

} // namespace brevonne
