// The tokenizer and the reader operations every text format is built on. The first bytes choose the
// separators and a program of reads; the rest is the text.
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "engine/parser/cParser.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    fuzz::Folder();  // quiet log
    static const char* const kSeparators[] = {"{ } ( ) , -", "{ } ( ) , - ; : = [ ]", "", "( ) ,", "{ } < > / * ::"};
    constexpr std::size_t kProgram = 8;
    if (size < kProgram + 1) return 0;
    const std::uint8_t* program = data;
    const std::string text(reinterpret_cast<const char*>(data + kProgram), size - kProgram);
    cParser parser;
    parser.SetSeparators(kSeparators[program[0] % (sizeof(kSeparators) / sizeof(kSeparators[0]))]);
    try {
        parser.SetText(text);
    } catch (const cException&) {
        return 0;
    }
    int saved = 0;
    for (int step = 0; step < 20000 && !parser.IsEnd(); ++step) {
        try {
            std::string s;
            std::int32_t i = 0;
            float f = 0.0f;
            bool b = false;
            float v[4];
            std::vector<float> list;
            switch (program[1 + step % (kProgram - 1)] % 12) {
                case 0: parser.ReadString(s); break;
                case 1: parser.ReadInt(i); break;
                case 2: parser.ReadFloat(f); break;
                case 3: parser.ReadBool(b); break;
                case 4: parser.ReadVector(v, 3); break;
                case 5: parser.ReadVector(v, 4); break;
                case 6: parser.ReadFloatList(list); break;
                case 7: parser.SkipParentheses(); break;
                case 8:
                    if (saved < 16) {
                        parser.SavePosition();
                        ++saved;
                    }
                    parser.Next();
                    break;
                case 9:
                    if (saved > 0) {
                        parser.RestorePosition();
                        --saved;
                    }
                    parser.Next();
                    break;
                case 10: parser.Expect("{"); break;
                default: parser.Accept("}"); parser.Next(); break;
            }
        } catch (const cException&) {
            try {
                parser.Next();
            } catch (const cException&) {
                break;
            }
        }
    }
    return 0;
}
