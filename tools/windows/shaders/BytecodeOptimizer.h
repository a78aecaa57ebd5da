#pragma once
// A clean-up pass over shader-model 2 pixel bytecode for compilers that leave
// many register copies behind (Wine's HLSL compiler copies every constant,
// input and swizzled value into a temporary first). It only ever removes or
// rewires plain "mov" instructions and instructions whose results nobody
// reads, so it never changes what a program computes:
//  - a mov of a temporary onto itself with the same components goes;
//  - a plain mov's source is read directly by the instructions after it that
//    read only the copied components, as long as neither side is written in
//    between (not into texture instructions, and never so that an instruction
//    reads two different constants or two different inputs);
//  - instructions writing only temporary components that are never read go.
// Programs with instructions it does not know (flow control, matrix macros,
// relative addressing) are left as they are.

#include <cstdint>
#include <vector>

namespace velmora::tools::shaders {

namespace detail {

enum : std::uint32_t { kTemp = 0, kInput = 1, kConst = 2, kTexture = 3 };

inline std::uint32_t RegType(std::uint32_t token) { return ((token >> 28) & 7u) | ((token >> 8) & 0x18u); }
inline std::uint32_t RegNum(std::uint32_t token) { return token & 0x7FFu; }
inline std::uint32_t Mask(std::uint32_t dst) { return (dst >> 16) & 0xFu; }
inline std::uint32_t Swizzle(std::uint32_t src, int i) { return (src >> (16 + 2 * i)) & 3u; }
inline bool SameRegister(std::uint32_t a, std::uint32_t b) {
    return RegType(a) == RegType(b) && RegNum(a) == RegNum(b);
}

struct sInstruction {
    std::uint32_t token = 0;
    std::vector<std::uint32_t> operands;
    // A plain lookup in a sampler declared 2D: it reads only x and y of its coordinates.
    bool lookup2D = false;
    std::uint32_t Opcode() const { return token & 0xFFFFu; }
};

inline bool Componentwise(std::uint32_t op) {
    switch (op) {
        case 1: case 2: case 3: case 4: case 5: case 10: case 11: case 12: case 13: case 18: case 19: case 35:
        case 88:
            return true;
        default: return false;
    }
}

inline bool Known(std::uint32_t op) {
    switch (op) {
        case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 12: case 13:
        case 14: case 15: case 18: case 19: case 31: case 32: case 35: case 36: case 65: case 66: case 81: case 88:
        case 90:
            return true;
        default: return false;
    }
}

// Whether an instruction has a destination operand first (dcl and def are left alone).
inline bool Writes(const sInstruction& in) {
    const std::uint32_t op = in.Opcode();
    return op != 31 && op != 81 && op != 65 && !in.operands.empty();
}

// Components (bit mask) of source operand `index` (1-based among the operands) the instruction reads.
inline std::uint32_t ReadComponents(const sInstruction& in, std::size_t index) {
    const std::uint32_t op = in.Opcode();
    const std::uint32_t src = in.operands[index];
    int positions = 4;
    std::uint32_t positionMask = 0xFu;
    if (Componentwise(op)) {
        positionMask = Mask(in.operands[0]);
    } else if (in.lookup2D && index == 1) {
        positions = 2;
    } else if (op == 8 || op == 36) {
        positions = 3;
    } else if (op == 90) {
        positions = index == 3 ? 1 : 2;
    }
    std::uint32_t read = 0;
    for (int i = 0; i < positions; ++i) {
        if (positionMask & (1u << i)) read |= 1u << Swizzle(src, i);
    }
    return read;
}

// Registers of `type` other than `except` the instruction reads.
inline bool ReadsOther(const sInstruction& in, std::uint32_t type, std::uint32_t except) {
    for (std::size_t i = Writes(in) ? 1 : 0; i < in.operands.size(); ++i) {
        const std::uint32_t src = in.operands[i];
        if (RegType(src) == type && !SameRegister(src, except)) return true;
    }
    return false;
}

inline bool IsPlainCopy(const sInstruction& in) {
    if (in.Opcode() != 1 || in.operands.size() != 2) return false;
    const std::uint32_t dst = in.operands[0], src = in.operands[1];
    // A copy within one register must not read components it writes.
    if (SameRegister(dst, src)) {
        for (int p = 0; p < 4; ++p) {
            if ((Mask(dst) & (1u << p)) && (Mask(dst) & (1u << Swizzle(src, p)))) return false;
        }
    }
    const bool plainDst = RegType(dst) == kTemp && ((dst >> 20) & 0xFFu) == 0 && (dst & 0x2000u) == 0;
    const std::uint32_t type = RegType(src);
    const bool plainSrc = ((src >> 24) & 0xFu) == 0 && (src & 0x2000u) == 0 &&
                          (type == kTemp || type == kConst || type == kInput || type == kTexture);
    return plainDst && plainSrc && !(in.token & (1u << 28));
}

inline bool IdentityCopy(const sInstruction& in) {
    if (in.Opcode() != 1 || in.operands.size() != 2 || !SameRegister(in.operands[0], in.operands[1])) return false;
    const std::uint32_t dst = in.operands[0], src = in.operands[1];
    if (RegType(dst) != kTemp || ((dst >> 20) & 0xFFu) != 0 || ((src >> 24) & 0xFu) != 0 || (in.token & (1u << 28))) {
        return false;
    }
    const std::uint32_t mask = Mask(in.operands[0]);
    for (int i = 0; i < 4; ++i) {
        if ((mask & (1u << i)) && Swizzle(in.operands[1], i) != static_cast<std::uint32_t>(i)) return false;
    }
    return true;
}

// Reads the copy at `k` through in the instructions after it; true when any operand changed.
inline bool Propagate(std::vector<sInstruction>& code, std::size_t k) {
    const std::uint32_t dst = code[k].operands[0], src = code[k].operands[1];
    const std::uint32_t mask = Mask(dst);
    bool changed = false;
    for (std::size_t j = k + 1; j < code.size(); ++j) {
        sInstruction& in = code[j];
        const std::uint32_t op = in.Opcode();
        const bool texture = op == 65 || op == 66;
        for (std::size_t i = Writes(in) ? 1 : 0; i < in.operands.size(); ++i) {
            std::uint32_t& operand = in.operands[i];
            if (RegType(operand) != kTemp || !SameRegister(operand, dst) || (operand & 0x2000u)) continue;
            if ((ReadComponents(in, i) & ~mask) != 0) continue;
            const std::uint32_t type = RegType(src);
            if ((type == kConst || type == kInput || type == kTexture) && ReadsOther(in, type, src)) continue;
            std::uint32_t swizzle = 0;
            for (int c = 0; c < 4; ++c) swizzle |= Swizzle(src, static_cast<int>(Swizzle(operand, c))) << (2 * c);
            if (texture) {
                // A 2D lookup may read its coordinates straight from a texture coordinate or temporary
                // register when they are its x and y: ps_2_0 takes no other swizzle there.
                if (!in.lookup2D || i != 1 || (type != kTemp && type != kTexture) || (swizzle & 0xFu) != 0x4u) continue;
                swizzle = 0xE4u;
            }
            operand = (src & ~(0xFFu << 16) & ~(0xFu << 24)) | (swizzle << 16) | (operand & (0xFu << 24));
            changed = true;
        }
        if (Writes(in)) {
            const std::uint32_t written = in.operands[0];
            if (SameRegister(written, dst) && (Mask(written) & mask)) break;
            if (SameRegister(written, src)) break;
        }
    }
    return changed;
}

// Joins a plain copy of single components with the copies right after it from the same register to
// the same temporary (mov r6.x, r5.x; mov r6.y, r5.y becomes mov r6.xy, r5.xy); true when any joined.
inline bool JoinCopies(std::vector<sInstruction>& code) {
    bool changed = false;
    for (std::size_t k = 0; k + 1 < code.size(); ++k) {
        if (!IsPlainCopy(code[k])) continue;
        sInstruction& first = code[k];
        const sInstruction& next = code[k + 1];
        if (!IsPlainCopy(next) || !SameRegister(first.operands[0], next.operands[0]) ||
            !SameRegister(first.operands[1], next.operands[1]) ||
            ((first.operands[1] >> 24) & 0xFu) != ((next.operands[1] >> 24) & 0xFu)) {
            continue;
        }
        const std::uint32_t maskA = Mask(first.operands[0]), maskB = Mask(next.operands[0]);
        if (maskA & maskB) continue;
        // The joined swizzle takes each position from the copy that writes it.
        std::uint32_t swizzle = 0;
        for (int p = 0; p < 4; ++p) {
            const std::uint32_t from = (maskB & (1u << p)) ? next.operands[1] : first.operands[1];
            swizzle |= Swizzle(from, p) << (2 * p);
        }
        first.operands[0] = (first.operands[0] & ~(0xFu << 16)) | ((maskA | maskB) << 16);
        first.operands[1] = (first.operands[1] & ~(0xFFu << 16)) | (swizzle << 16);
        code.erase(code.begin() + static_cast<std::ptrdiff_t>(k + 1));
        changed = true;
        --k;
    }
    return changed;
}

// Drops instructions whose temporary results are never read; true when any went.
inline bool RemoveDead(std::vector<sInstruction>& code) {
    std::vector<std::uint32_t> live(2048, 0);
    std::vector<bool> keep(code.size(), true);
    bool changed = false;
    for (std::size_t n = code.size(); n-- > 0;) {
        const sInstruction& in = code[n];
        const std::uint32_t op = in.Opcode();
        if (op == 31 || op == 81) continue;
        if (Writes(in) && RegType(in.operands[0]) == kTemp) {
            const std::uint32_t reg = RegNum(in.operands[0]);
            const std::uint32_t mask = Mask(in.operands[0]);
            if ((live[reg] & mask) == 0) {
                keep[n] = false;
                changed = true;
                continue;
            }
            live[reg] &= ~mask;
        }
        for (std::size_t i = Writes(in) ? 1 : 0; i < in.operands.size(); ++i) {
            const std::uint32_t src = in.operands[i];
            if (RegType(src) == kTemp) live[RegNum(src)] |= op == 65 ? 0xFu : ReadComponents(in, i);
        }
    }
    std::vector<sInstruction> kept;
    for (std::size_t n = 0; n < code.size(); ++n) {
        if (keep[n]) kept.push_back(code[n]);
    }
    code.swap(kept);
    return changed;
}

// The swizzles ps_2_0 takes on a source: identity, the four replicates and three rotations.
inline bool AllowedSwizzle(std::uint32_t swizzle) {
    switch (swizzle) {
        case 0xE4: case 0x00: case 0x55: case 0xAA: case 0xFF: case 0xC9: case 0xD2: case 0x1B: return true;
        default: return false;
    }
}

// Positions of a source's swizzle that reach the result (the others may be anything).
inline std::uint32_t UsedPositions(const sInstruction& in, std::size_t index) {
    const std::uint32_t op = in.Opcode();
    if (Componentwise(op)) return Mask(in.operands[0]);
    if (op == 8 || op == 36) return 0x7u;
    if (op == 90) return index == 3 ? 0xFu : 0x3u;
    if (in.lookup2D && index == 1) return 0x3u;  // a 2D lookup reads x and y
    return 0xFu;
}

// Rewrites source swizzles into ones ps_2_0 takes where the positions that matter allow it (a
// compiler that writes arbitrary swizzles for the unused positions makes programs the runtime refuses).
inline void NormalizeSwizzles(std::vector<sInstruction>& code) {
    static const std::uint32_t kAllowed[8] = {0xE4, 0x00, 0x55, 0xAA, 0xFF, 0xC9, 0xD2, 0x1B};
    for (sInstruction& in : code) {
        const std::uint32_t op = in.Opcode();
        if (op == 31 || op == 81 || op == 65) continue;
        for (std::size_t i = 1; i < in.operands.size(); ++i) {
            std::uint32_t& operand = in.operands[i];
            if (RegType(operand) == 10) continue;  // sampler
            const std::uint32_t swizzle = (operand >> 16) & 0xFFu;
            if (AllowedSwizzle(swizzle)) continue;
            const std::uint32_t used = UsedPositions(in, i);
            for (std::uint32_t candidate : kAllowed) {
                bool fits = true;
                for (int p = 0; p < 4; ++p) {
                    if ((used & (1u << p)) && ((candidate >> (2 * p)) & 3u) != ((swizzle >> (2 * p)) & 3u)) fits = false;
                }
                if (fits) {
                    operand = (operand & ~(0xFFu << 16)) | (candidate << 16);
                    break;
                }
            }
        }
    }
}

} // namespace detail

// The cleaned-up bytecode, or the input unchanged when it is no pixel program of shader model 2 or
// holds something the pass does not know.
inline std::vector<std::uint32_t> OptimizePixelBytecode(const std::vector<std::uint32_t>& input) {
    using namespace detail;
    if (input.size() < 2 || (input[0] & 0xFFFF0000u) != 0xFFFF0000u || ((input[0] >> 8) & 0xFFu) != 2) return input;
    std::vector<std::uint32_t> head{input[0]};
    std::vector<sInstruction> code;
    std::vector<std::uint32_t> samplers2D;
    std::size_t at = 1;
    bool ended = false;
    while (at < input.size()) {
        const std::uint32_t token = input[at++];
        if (token == 0x0000FFFFu) {
            ended = true;
            break;
        }
        if ((token & 0xFFFFu) == 0xFFFEu) {
            const std::size_t length = (token >> 16) & 0x7FFFu;
            if (!code.empty() || length > input.size() - at) return input;  // comments only before the code
            head.insert(head.end(), input.begin() + static_cast<std::ptrdiff_t>(at - 1),
                        input.begin() + static_cast<std::ptrdiff_t>(at + length));
            at += length;
            continue;
        }
        const std::size_t length = (token >> 24) & 0xFu;
        if (length > input.size() - at || !Known(token & 0xFFFFu) || (token & (1u << 28))) return input;
        sInstruction in;
        in.token = token;
        in.operands.assign(input.begin() + static_cast<std::ptrdiff_t>(at),
                           input.begin() + static_cast<std::ptrdiff_t>(at + length));
        for (std::size_t i = 0; in.Opcode() != 81 && in.Opcode() != 31 && i < in.operands.size(); ++i) {
            if (in.operands[i] & 0x2000u) return input;  // relative addressing
        }
        at += length;
        if (in.Opcode() == 31 && in.operands.size() == 2 && RegType(in.operands[1]) == 10 &&
            ((in.operands[0] >> 27) & 0xFu) == 2) {
            samplers2D.push_back(RegNum(in.operands[1]));
        }
        if (in.Opcode() == 66 && ((in.token >> 16) & 0xFFu) == 0 && in.operands.size() == 3) {
            for (std::uint32_t s : samplers2D) {
                if (RegNum(in.operands[2]) == s) in.lookup2D = true;
            }
        }
        code.push_back(in);
    }
    if (!ended) return input;
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t k = 0; k < code.size(); ++k) {
            if (IdentityCopy(code[k])) {
                code.erase(code.begin() + static_cast<std::ptrdiff_t>(k));
                changed = true;
                --k;
                continue;
            }
            if (IsPlainCopy(code[k]) && Propagate(code, k)) changed = true;
        }
        if (JoinCopies(code)) changed = true;
        if (RemoveDead(code)) changed = true;
    }
    NormalizeSwizzles(code);
    std::vector<std::uint32_t> out = head;
    for (const sInstruction& in : code) {
        out.push_back(in.token);
        out.insert(out.end(), in.operands.begin(), in.operands.end());
    }
    out.push_back(0x0000FFFFu);
    return out;
}

} // namespace velmora::tools::shaders
