// The interpreter's dispatch loop (cScript::Execute) and the decoding of the
// instruction array into the form it runs.
//
// Decoding resolves every operand to a base index and an offset (host
// addresses become absolute offsets on the zero base, whose value is 0),
// picks a handler per instruction (instructions with indirect operands go
// through one general handler) and marks the instructions after which
// something must be checked: the condition instruction of a loop, and the
// last instruction before the end of a loop, of a function or of the array.
// Everything else just moves on to the next instruction.

#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/core/cException.h"
#include "script/cFuncDef.h"
#include "script/cNativeFunction.h"
#include "script/cScript.h"
#include "script/cScriptEnv.h"

#if defined(__GNUC__) || defined(__clang__)
#define VELMORA_SCRIPT_COMPUTED_GOTO 1
#else
#define VELMORA_SCRIPT_COMPUTED_GOTO 0
#endif

namespace velmora::script {

namespace {

constexpr std::uint8_t POST_CONDITION = 0x1; // a loop's condition instruction
constexpr std::uint8_t POST_END = 0x2;       // the next index may be the end of a frame

constexpr std::uint16_t HANDLER_GENERIC = OP_COUNT;
constexpr std::uint16_t HANDLER_INVALID = OP_COUNT + 1;

inline std::int32_t LoadInt(const std::uint8_t* at) {
    std::int32_t value;
    std::memcpy(&value, at, 4);
    return value;
}
inline void StoreInt(std::uint8_t* at, std::int32_t value) { std::memcpy(at, &value, 4); }
inline float LoadFloat(const std::uint8_t* at) {
    float value;
    std::memcpy(&value, at, 4);
    return value;
}
inline void StoreFloat(std::uint8_t* at, float value) { std::memcpy(at, &value, 4); }
inline std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }

} // namespace

void cScript::Decode() {
    const std::int32_t count = GetInstructionCount();
    m_Decoded.assign(static_cast<std::size_t>(count), sDecodedInstruction());
    auto operand = [&](std::int32_t word, std::int32_t offset) {
        sDecodedOperand out;
        out.base = BaseOf(word);
        if (out.base > BASE_NONE) {
            out.base = BASE_NONE;
        }
        out.indirect = IsIndirect(word) ? 1 : 0;
        out.offset2 = IndirectOffsetOf(word);
        out.offset = offset;
        if (out.base == BASE_ZERO) {
            const bool known = offset > 0 && static_cast<std::size_t>(offset) < m_HostAddresses.size();
            out.offset = known ? reinterpret_cast<std::intptr_t>(m_HostAddresses[static_cast<std::size_t>(offset)]) : 0;
        }
        return out;
    };
    for (std::int32_t i = 0; i < count; ++i) {
        const sInstruction& in = m_Instructions[static_cast<std::size_t>(i)];
        sDecodedInstruction& out = m_Decoded[static_cast<std::size_t>(i)];
        out.opcode = in.opcode;
        out.aux = in.aux;
        out.hasResult = BaseOf(in.result) < BASE_NONE ? 1 : 0;
        out.r.base = out.hasResult ? BaseOf(in.result) : BASE_NONE;
        out.r.offset = in.aux;
        out.a = operand(in.baseA, in.offsetA);
        out.b = operand(in.baseB, in.offsetB);
        switch (in.opcode) {
        case OP_PUSH:
        case OP_PUSHR:
        case OP_RETI: out.size = static_cast<std::uint8_t>(in.aux >= 0 && in.aux < 4 ? in.aux : 4); break;
        case OP_LOOP: {
            // Start and end are instruction indices; keep them inside the array.
            const std::int64_t start = in.offsetA < 0 ? 0 : in.offsetA;
            const std::int64_t end = in.offsetB > count ? count : in.offsetB;
            out.a = sDecodedOperand();
            out.b = sDecodedOperand();
            out.a.offset = static_cast<std::intptr_t>(start);
            out.b.offset = static_cast<std::intptr_t>(end < start ? start : end);
            break;
        }
        case OP_UNREF:
            out.size = static_cast<std::uint8_t>(in.offsetB >= 0 && in.offsetB < 4 ? in.offsetB : 4);
            out.b = sDecodedOperand();
            break;
        case OP_CALL:
        case OP_MTDCALL:
            out.hasResult = 1;
            out.r.base = BASE_RESULT;
            out.r.offset = 0;
            break;
        default: break;
        }
        if (!IsOpcodeExecutable(in.opcode)) {
            out.handler = HANDLER_INVALID;
        } else if (out.a.indirect || out.b.indirect) {
            out.handler = HANDLER_GENERIC;
        } else {
            out.handler = static_cast<std::uint16_t>(in.opcode);
        }
    }
    auto markEnd = [&](std::int64_t end) {
        if (end > 0 && end <= count) {
            m_Decoded[static_cast<std::size_t>(end - 1)].post |= POST_END;
        }
    };
    for (const cFuncDef* function : m_ScriptFunctions) {
        if (function->HasCode() && function->GetEndInstruction() > function->GetFirstInstruction()) {
            markEnd(function->GetEndInstruction());
        }
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const sDecodedInstruction& in = m_Decoded[static_cast<std::size_t>(i)];
        if (in.opcode != OP_LOOP) {
            continue;
        }
        markEnd(in.b.offset);
        if (in.aux >= 0 && in.aux < count && m_Decoded[static_cast<std::size_t>(in.aux)].hasResult) {
            m_Decoded[static_cast<std::size_t>(in.aux)].post |= POST_CONDITION;
        }
    }
    markEnd(count);
    m_DecodedValid = true;
}

void cScript::Execute(const cFuncDef& function) {
    if (function.IsNative()) {
        cInterpreter& vm = m_Interpreter;
        function.GetNative()->Invoke(nullptr, vm.GetStackBegin(), vm.GetResult());
        return;
    }
    if (!function.HasCode()) {
        RaiseError("cInterpreter::CallFunction : function '%s' has no code", function.GetName().c_str());
    }
    if (!m_DecodedValid) {
        Decode();
    }

    cInterpreter& vm = m_Interpreter;
    const sDecodedInstruction* const code = m_Decoded.data();
    const std::int32_t count = GetInstructionCount();
    sFrame* const frames = vm.GetFrames();
    const std::int32_t maxFrames = vm.GetMaxFrames();
    std::uint8_t* const stackBegin = vm.GetStackBegin();
    std::uint8_t* const stackEnd = vm.GetStackEnd();
    std::uint8_t* const result = vm.GetResult();

    // bases[BASE_NONE] is 0 too: operands without a place are never read.
    std::uintptr_t bases[BASE_COUNT + 1] = {};
    bases[BASE_RESULT] = reinterpret_cast<std::uintptr_t>(result);
    bases[BASE_SCRIPT] = reinterpret_cast<std::uintptr_t>(m_Memory.GetData());
    bases[BASE_ENVIRONMENT] = reinterpret_cast<std::uintptr_t>(m_Env.GetMemory().GetData());

    std::uint8_t* sp = stackBegin + function.GetArgumentsSize();
    std::uint8_t* floor = stackBegin;
    std::int32_t fp = -1;
    const cFuncDef* callee = &function;
    std::int32_t next = 0;
    const sDecodedInstruction* ip = code;
    std::uint8_t* pr = nullptr;
    std::uint8_t* pa = nullptr;
    std::uint8_t* pb = nullptr;

#define VM_ADDRESS(o) reinterpret_cast<std::uint8_t*>(bases[(o).base] + static_cast<std::uintptr_t>((o).offset))

    auto resolve = [&bases](const sDecodedOperand& o) {
        std::uint8_t* at = reinterpret_cast<std::uint8_t*>(bases[o.base] + static_cast<std::uintptr_t>(o.offset));
        if (o.indirect) {
            void* pointer = nullptr;
            std::memcpy(&pointer, at, sizeof(pointer));
            at = static_cast<std::uint8_t*>(pointer) + o.offset2;
        }
        return at;
    };

#if VELMORA_SCRIPT_COMPUTED_GOTO
    static const void* const kHandlers[] = {
        &&L_MOV,    &&L_MOVF,  &&L_ADD,    &&L_SUB,    &&L_MUL,     &&L_DIV,    &&L_MADD,   &&L_INVALID,
        &&L_INVALID, &&L_INVALID, &&L_INVALID, &&L_ADDF, &&L_SUBF,   &&L_MULF,    &&L_DIVF,   &&L_MADDF,
        &&L_INVALID, &&L_INVALID, &&L_INVALID, &&L_INVALID, &&L_LT,   &&L_LE,      &&L_GT,     &&L_GE,
        &&L_EQ,     &&L_NQ,    &&L_INVALID, &&L_LTF,  &&L_LEF,     &&L_GTF,    &&L_GEF,    &&L_EQF,
        &&L_NQF,    &&L_INVALID, &&L_BITAND, &&L_BITXOR, &&L_BITOR, &&L_PUSH,  &&L_PUSHR,  &&L_UNREF,
        &&L_LOOP,   &&L_JMP,   &&L_GTO,    &&L_RET,    &&L_RETI,    &&L_INVALID, &&L_CALL,  &&L_MTDCALL,
        &&L_BRK,    &&L_GENERIC, &&L_INVALID};
    static_assert(sizeof(kHandlers) / sizeof(kHandlers[0]) == OP_COUNT + 2, "one handler per opcode");
#define VM_DISPATCH() goto* kHandlers[ip->handler]
#else
#define VM_DISPATCH() goto dispatch
#endif
#define VM_NEXT()                                                                                                     \
    do {                                                                                                              \
        if (ip->post) {                                                                                               \
            goto post_action;                                                                                         \
        }                                                                                                             \
        ++ip;                                                                                                         \
        VM_DISPATCH();                                                                                                \
    } while (0)

    goto enter_function;

#if !VELMORA_SCRIPT_COMPUTED_GOTO
dispatch:
    switch (ip->handler) {
    case OP_MOV: goto L_MOV;
    case OP_MOVF: goto L_MOVF;
    case OP_ADD: goto L_ADD;
    case OP_SUB: goto L_SUB;
    case OP_MUL: goto L_MUL;
    case OP_DIV: goto L_DIV;
    case OP_MADD: goto L_MADD;
    case OP_ADDF: goto L_ADDF;
    case OP_SUBF: goto L_SUBF;
    case OP_MULF: goto L_MULF;
    case OP_DIVF: goto L_DIVF;
    case OP_MADDF: goto L_MADDF;
    case OP_LT: goto L_LT;
    case OP_LE: goto L_LE;
    case OP_GT: goto L_GT;
    case OP_GE: goto L_GE;
    case OP_EQ: goto L_EQ;
    case OP_NQ: goto L_NQ;
    case OP_LTF: goto L_LTF;
    case OP_LEF: goto L_LEF;
    case OP_GTF: goto L_GTF;
    case OP_GEF: goto L_GEF;
    case OP_EQF: goto L_EQF;
    case OP_NQF: goto L_NQF;
    case OP_BITAND: goto L_BITAND;
    case OP_BITXOR: goto L_BITXOR;
    case OP_BITOR: goto L_BITOR;
    case OP_PUSH: goto L_PUSH;
    case OP_PUSHR: goto L_PUSHR;
    case OP_UNREF: goto L_UNREF;
    case OP_LOOP: goto L_LOOP;
    case OP_JMP: goto L_JMP;
    case OP_GTO: goto L_GTO;
    case OP_RET: goto L_RET;
    case OP_RETI: goto L_RETI;
    case OP_CALL: goto L_CALL;
    case OP_MTDCALL: goto L_MTDCALL;
    case OP_BRK: goto L_BRK;
    case HANDLER_GENERIC: goto L_GENERIC;
    default: goto L_INVALID;
    }
#endif

    // Instructions with indirect operands: resolve every operand, then run the common body.
L_GENERIC:
    pr = resolve(ip->r);
    pa = resolve(ip->a);
    pb = resolve(ip->b);
    switch (ip->opcode) {
    case OP_MOV: goto B_MOV;
    case OP_MOVF: goto B_MOV;
    case OP_ADD: goto B_ADD;
    case OP_SUB: goto B_SUB;
    case OP_MUL: goto B_MUL;
    case OP_DIV: goto B_DIV;
    case OP_MADD: goto B_MADD;
    case OP_ADDF: goto B_ADDF;
    case OP_SUBF: goto B_SUBF;
    case OP_MULF: goto B_MULF;
    case OP_DIVF: goto B_DIVF;
    case OP_MADDF: goto B_MADDF;
    case OP_LT: goto B_LT;
    case OP_LE: goto B_LE;
    case OP_GT: goto B_GT;
    case OP_GE: goto B_GE;
    case OP_EQ: goto B_EQ;
    case OP_NQ: goto B_NQ;
    case OP_LTF: goto B_LTF;
    case OP_LEF: goto B_LEF;
    case OP_GTF: goto B_GTF;
    case OP_GEF: goto B_GEF;
    case OP_EQF: goto B_EQF;
    case OP_NQF: goto B_NQF;
    case OP_BITAND: goto B_BITAND;
    case OP_BITXOR: goto B_BITXOR;
    case OP_BITOR: goto B_BITOR;
    case OP_PUSH: goto B_PUSH;
    case OP_PUSHR: goto B_PUSHR;
    case OP_UNREF: goto B_UNREF;
    case OP_JMP: goto B_JMP;
    case OP_GTO: goto B_GTO;
    case OP_RETI: goto B_RETI;
    case OP_CALL: goto B_CALL;
    case OP_MTDCALL: goto B_MTDCALL;
    default: goto L_INVALID;
    }

L_INVALID:
    RaiseError("cScript::Execute : invalid instruction '%s' (%d)", GetOpcodeName(ip->opcode), ip->opcode);

    // --- moves and integer arithmetic
L_MOV:
L_MOVF:
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_MOV:
    std::memmove(pa, pb, 4);
    VM_NEXT();

L_ADD:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_ADD:
    StoreInt(pr, Wrap(static_cast<std::uint32_t>(LoadInt(pa)) + static_cast<std::uint32_t>(LoadInt(pb))));
    VM_NEXT();

L_SUB:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_SUB:
    StoreInt(pr, Wrap(static_cast<std::uint32_t>(LoadInt(pa)) - static_cast<std::uint32_t>(LoadInt(pb))));
    VM_NEXT();

L_MUL:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_MUL:
    StoreInt(pr, Wrap(static_cast<std::uint32_t>(LoadInt(pa)) * static_cast<std::uint32_t>(LoadInt(pb))));
    VM_NEXT();

L_DIV:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_DIV: {
    const std::int32_t a = LoadInt(pa);
    const std::int32_t b = LoadInt(pb);
    if (b == 0) {
        RaiseError("cScript::Execute : integer division by zero");
    }
    StoreInt(pr, (a == std::numeric_limits<std::int32_t>::min() && b == -1) ? a : a / b);
    VM_NEXT();
}

L_MADD:
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_MADD:
    StoreInt(pa, Wrap(static_cast<std::uint32_t>(LoadInt(pa)) + static_cast<std::uint32_t>(LoadInt(pb))));
    VM_NEXT();

    // --- float arithmetic
L_ADDF:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_ADDF:
    StoreFloat(pr, LoadFloat(pa) + LoadFloat(pb));
    VM_NEXT();

L_SUBF:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_SUBF:
    StoreFloat(pr, LoadFloat(pa) - LoadFloat(pb));
    VM_NEXT();

L_MULF:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_MULF:
    StoreFloat(pr, LoadFloat(pa) * LoadFloat(pb));
    VM_NEXT();

L_DIVF:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_DIVF:
    StoreFloat(pr, LoadFloat(pa) / LoadFloat(pb));
    VM_NEXT();

L_MADDF:
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_MADDF:
    StoreFloat(pa, LoadFloat(pa) + LoadFloat(pb));
    VM_NEXT();

    // --- comparisons: the result is one byte
#define VM_COMPARE(name, type, load, op)                                                                              \
    L_##name : pr = VM_ADDRESS(ip->r);                                                                                \
    pa = VM_ADDRESS(ip->a);                                                                                           \
    pb = VM_ADDRESS(ip->b);                                                                                           \
    B_##name : *pr = (load(pa) op load(pb)) ? 1 : 0;                                                                  \
    VM_NEXT();

    VM_COMPARE(LT, std::int32_t, LoadInt, <)
    VM_COMPARE(LE, std::int32_t, LoadInt, <=)
    VM_COMPARE(GT, std::int32_t, LoadInt, >)
    VM_COMPARE(GE, std::int32_t, LoadInt, >=)
    VM_COMPARE(EQ, std::int32_t, LoadInt, ==)
    VM_COMPARE(NQ, std::int32_t, LoadInt, !=)
    VM_COMPARE(LTF, float, LoadFloat, <)
    VM_COMPARE(LEF, float, LoadFloat, <=)
    VM_COMPARE(GTF, float, LoadFloat, >)
    VM_COMPARE(GEF, float, LoadFloat, >=)
    VM_COMPARE(EQF, float, LoadFloat, ==)
    VM_COMPARE(NQF, float, LoadFloat, !=)
#undef VM_COMPARE

    // --- bit operations
L_BITAND:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_BITAND:
    StoreInt(pr, LoadInt(pa) & LoadInt(pb));
    VM_NEXT();

L_BITXOR:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_BITXOR:
    StoreInt(pr, LoadInt(pa) ^ LoadInt(pb));
    VM_NEXT();

L_BITOR:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_BITOR:
    StoreInt(pr, LoadInt(pa) | LoadInt(pb));
    VM_NEXT();

    // --- the value stack
L_PUSH:
    pa = VM_ADDRESS(ip->a);
B_PUSH: {
    if (sp + 4 > stackEnd) {
        RaiseError("cScript::Execute : value stack overflow");
    }
    std::uint8_t slot[4] = {};
    std::memcpy(slot, pa, ip->size);
    std::memcpy(sp, slot, 4);
    sp += 4;
    std::printf("push %d\n", ip->size == 1 ? static_cast<int>(slot[0]) : LoadInt(slot));
    VM_NEXT();
}

L_PUSHR:
    pa = VM_ADDRESS(ip->a);
B_PUSHR: {
    if (sp + sizeof(void*) > stackEnd) {
        RaiseError("cScript::Execute : value stack overflow");
    }
    void* pointer = pa;
    std::memcpy(sp, &pointer, sizeof(pointer));
    sp += sizeof(pointer);
    std::uint8_t value[4] = {};
    std::memcpy(value, pa, ip->size);
    std::printf("pushr 0x%X 0x%X ( %d )\n", static_cast<unsigned>(ip->a.base),
                static_cast<unsigned>(ip->a.base == BASE_ZERO ? 0 : ip->a.offset),
                ip->size == 1 ? static_cast<int>(value[0]) : LoadInt(value));
    VM_NEXT();
}

L_UNREF:
    pr = VM_ADDRESS(ip->r);
    pa = VM_ADDRESS(ip->a);
B_UNREF: {
    void* pointer = nullptr;
    std::memcpy(&pointer, pa, sizeof(pointer));
    if (!pointer) {
        RaiseError("cScript::Execute : NULL reference");
    }
    std::uint8_t value[4] = {};
    std::memcpy(value, pointer, ip->size);
    std::printf("unref: 0x%X 0x%X %d\n", static_cast<unsigned>(ip->a.base),
                static_cast<unsigned>(ip->a.base == BASE_ZERO ? 0 : ip->a.offset), static_cast<int>(ip->size));
    std::memcpy(pr, value, 4);
    std::printf("unref: 0x%X %d\n", static_cast<unsigned>(ip->r.offset), LoadInt(value));
    VM_NEXT();
}

    // --- control flow
L_LOOP: {
    if (fp + 1 >= maxFrames) {
        RaiseError("cScript::Execute : frame stack overflow");
    }
    const std::int32_t start = static_cast<std::int32_t>(ip->a.offset);
    const std::int32_t end = static_cast<std::int32_t>(ip->b.offset);
    frames[fp].current = end;
    sFrame& loop = frames[++fp];
    loop.start = start;
    loop.end = end;
    loop.cond = ip->aux;
    loop.kind = 0;
    loop.current = start;
    next = start;
    goto settle;
}

L_JMP:
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_JMP: {
    std::uint8_t condition = 0;
    const sDecodedInstruction* previous = ip > code ? ip - 1 : nullptr;
    if (previous && previous->hasResult) {
        condition = *resolve(previous->r);
    } else {
        if (sp - 4 < floor) {
            RaiseError("cScript::Execute : value stack underflow");
        }
        sp -= 4;
        condition = sp[0];
    }
    next = LoadInt(condition ? pa : pb);
    if (next < 0) {
        RaiseError("cScript::Execute : jump to %d", next);
    }
    goto settle;
}

L_GTO:
    pa = VM_ADDRESS(ip->a);
B_GTO:
    next = LoadInt(pa);
    if (next < 0) {
        RaiseError("cScript::Execute : jump to %d", next);
    }
    goto settle;

L_RETI:
    pa = VM_ADDRESS(ip->a);
B_RETI:
    std::memset(result, 0, 8);
    std::memcpy(result, pa, ip->size);
    std::printf("reti = %d\n", LoadInt(result));
    goto do_return;

L_RET:
    goto do_return;

L_BRK:
    if (frames[fp].kind != 0) {
        goto do_return; // no loop is open: leaves the function
    }
    --fp;
    next = frames[fp].current;
    goto settle;

L_CALL:
    pa = VM_ADDRESS(ip->a);
B_CALL:
    pb = nullptr;
    goto call_common;

L_MTDCALL:
    pa = VM_ADDRESS(ip->a);
    pb = VM_ADDRESS(ip->b);
B_MTDCALL:
call_common: {
    const cFuncDef* target = m_Env.GetFunction(LoadInt(pa));
    if (!target) {
        RaiseError("cInterpreter::CallFunction : NULL pointer to function");
    }
    std::memset(result, 0, 8);
    if (target->IsNative()) {
        std::uint8_t* arguments = sp - target->GetArgumentsSize();
        if (arguments < floor) {
            RaiseError("cScript::Execute : value stack underflow");
        }
        target->GetNative()->Invoke(pb, arguments, result);
        sp = arguments;
        VM_NEXT();
    }
    frames[fp].current = static_cast<std::int32_t>(ip - code) + 1;
    callee = target;
    goto enter_function;
}

    // --- frames
enter_function: {
    if (!callee->HasCode()) {
        RaiseError("cInterpreter::CallFunction : function '%s' has no code", callee->GetName().c_str());
    }
    std::uint8_t* arguments = sp - callee->GetArgumentsSize();
    if (arguments < floor) {
        RaiseError("cScript::Execute : value stack underflow");
    }
    // The locals start aligned, for objects that host methods work on.
    const std::uintptr_t behind = reinterpret_cast<std::uintptr_t>(arguments + callee->GetArgumentsSize());
    const std::uintptr_t aligned = (behind + cFuncDef::kFrameAlignment - 1) & ~std::uintptr_t(cFuncDef::kFrameAlignment - 1);
    if (callee->GetLocalsSize() + callee->GetTempsSize() + static_cast<std::int64_t>(aligned - behind) >
        stackEnd - (arguments + callee->GetArgumentsSize())) {
        RaiseError("cScript::Execute : value stack overflow");
    }
    std::uint8_t* locals = reinterpret_cast<std::uint8_t*>(aligned);
    std::uint8_t* temps = locals + callee->GetLocalsSize();
    if (fp + 1 >= maxFrames) {
        RaiseError("cScript::Execute : frame stack overflow");
    }
    std::uint8_t* top = temps + callee->GetTempsSize();
    std::memset(locals, 0, static_cast<std::size_t>(top - locals));
    sFrame& frame = frames[++fp];
    frame.start = callee->GetFirstInstruction();
    frame.end = callee->GetEndInstruction() < count ? callee->GetEndInstruction() : count;
    frame.cond = -1;
    frame.kind = 1;
    frame.current = frame.start;
    frame.arguments = arguments;
    frame.savedFloor = floor;
    frame.savedArguments = bases[BASE_ARGUMENTS];
    frame.savedLocals = bases[BASE_LOCALS];
    frame.savedTemps = bases[BASE_LEFT];
    bases[BASE_ARGUMENTS] = reinterpret_cast<std::uintptr_t>(arguments);
    bases[BASE_LOCALS] = reinterpret_cast<std::uintptr_t>(locals);
    bases[BASE_LEFT] = bases[BASE_RIGHT] = reinterpret_cast<std::uintptr_t>(temps);
    sp = top;
    floor = top;
    next = frame.start;
    goto settle;
}

do_return:
    // Loop frames of the returning function go with it.
    while (frames[fp].kind == 0) {
        --fp;
    }
    {
        const sFrame& frame = frames[fp];
        sp = frame.arguments;
        floor = frame.savedFloor;
        bases[BASE_ARGUMENTS] = frame.savedArguments;
        bases[BASE_LOCALS] = frame.savedLocals;
        bases[BASE_LEFT] = bases[BASE_RIGHT] = frame.savedTemps;
        --fp;
    }
    if (fp < 0) {
        return;
    }
    // Back behind the call, which counts as executed now: it may be a loop's condition or end a frame.
    next = frames[fp].current;
    ip = code + (next - 1);
    if (ip->post) {
        goto post_action;
    }
    goto settle;

post_action: {
    next = static_cast<std::int32_t>(ip - code) + 1;
    if ((ip->post & POST_CONDITION) && frames[fp].kind == 0 && frames[fp].cond == next - 1 &&
        *VM_ADDRESS(ip->r) == 0) {
        --fp; // the loop ends: resume behind it
        next = frames[fp].current;
    }
    const sFrame& top = frames[fp];
    if (next < top.end) {
        ip = code + next;
        VM_DISPATCH();
    }
    if (top.kind == 0 && top.start < top.end) {
        next = top.start; // the loop goes round
        ip = code + next;
        VM_DISPATCH();
    }
    goto settle;
}

settle:
    // Where execution goes on: the end of a function frame returns, the end of a loop frame restarts it.
    for (;;) {
        const sFrame& top = frames[fp];
        if (next < top.end) {
            break;
        }
        if (top.kind != 0) {
            goto do_return;
        }
        if (top.start < top.end) {
            next = top.start;
            break;
        }
        --fp;
        next = frames[fp].current;
    }
    ip = code + next;
    VM_DISPATCH();

#undef VM_NEXT
#undef VM_DISPATCH
#undef VM_ADDRESS
}

} // namespace velmora::script
