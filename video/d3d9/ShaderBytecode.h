#pragma once
// Instruction slots of shader-model 2 pixel programs, counted from their
// bytecode as the device's limits count them (ps_2_0: 64 arithmetic and 32
// texture slots). Platform-neutral; reading stays inside the given bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velmora::video::d3d9 {

struct sSlotCount {
    int arithmetic = 0;
    int texture = 0;
    bool valid = false;  // the bytecode ended with its end token, every instruction inside it
    // Every source swizzle is one ps_2_0 takes (identity, replicate, or the three rotations).
    bool swizzlesAllowed = true;
};

// Slots one instruction takes (0 for declarations and definitions), and whether it is a texture one.
inline int InstructionSlots(std::uint32_t opcode, bool& texture) {
    texture = false;
    switch (opcode) {
        case 31:  // dcl
        case 81:  // def
        case 82:  // defi
        case 83:  // defb
            return 0;
        case 65:  // texkill
        case 66:  // texld, texldp, texldb
            texture = true;
            return 1;
        case 18:  // lrp
        case 24:  // m3x2
        case 33:  // crs
        case 90:  // dp2add
            return 2;
        case 21:  // m4x3
        case 23:  // m3x3
        case 32:  // pow
        case 36:  // nrm
            return 3;
        case 20:  // m4x4
        case 22:  // m3x4
            return 4;
        case 37:  // sincos
            return 8;
        default: return 1;
    }
}

// Counts the slots of shader-model 2 (or 3) bytecode; `valid` is false for anything else.
inline sSlotCount CountSlots(const void* code, std::size_t size) {
    sSlotCount count;
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(code);
    std::uint32_t token = 0;
    if (!code || size < 8) return count;
    std::memcpy(&token, bytes, 4);
    if ((token & 0xFFFE0000u) != 0xFFFE0000u || ((token >> 8) & 0xFFu) < 2) return count;
    std::size_t at = 4;
    while (at + 4 <= size) {
        std::memcpy(&token, bytes + at, 4);
        at += 4;
        if (token == 0x0000FFFFu) {
            count.valid = true;
            return count;
        }
        const std::uint32_t opcode = token & 0xFFFFu;
        std::size_t length;
        if (opcode == 0xFFFEu) {
            length = (token >> 16) & 0x7FFFu;  // a comment
        } else {
            length = (token >> 24) & 0x0Fu;  // operand tokens of the instruction
            bool texture = false;
            const int slots = InstructionSlots(opcode, texture);
            (texture ? count.texture : count.arithmetic) += slots;
            // Sources follow the destination; declarations and definitions carry none.
            if (opcode != 31 && opcode != 81 && opcode != 65) {
                for (std::size_t i = 1; i < length && at + i * 4 + 4 <= size; ++i) {
                    std::uint32_t source = 0;
                    std::memcpy(&source, bytes + at + i * 4, 4);
                    const std::uint32_t type = ((source >> 28) & 7u) | ((source >> 8) & 0x18u);
                    const std::uint32_t swizzle = (source >> 16) & 0xFFu;
                    const bool allowed = swizzle == 0xE4 || swizzle == 0x00 || swizzle == 0x55 || swizzle == 0xAA ||
                                         swizzle == 0xFF || swizzle == 0xC9 || swizzle == 0xD2 || swizzle == 0x1B;
                    if (type != 10 && !allowed) count.swizzlesAllowed = false;
                }
            }
        }
        if (length > (size - at) / 4) return sSlotCount();
        at += length * 4;
    }
    return sSlotCount();
}

} // namespace velmora::video::d3d9
