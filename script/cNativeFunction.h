#pragma once
// The host side of a function or method that scripts call: a portable
// binding. When a script calls a native function, the interpreter hands over
// the object (for methods), the argument block as the script pushed it
// (arguments in declaration order; bool, int, enumeration and float values
// in 4 bytes, references and pointers as a pointer) and an 8-byte result
// slot. A typed trampoline generated per signature by the templates of
// NativeBinding.h reads each argument at its offset, calls the host code
// with ordinary C++ arguments and stores the result, so no calling
// convention or stack layout is assumed.
//
// A binding also lists the kinds of its C++ arguments and result; the
// registration compares them with the declared script signature and refuses
// a mismatch.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::script {

// How a C++ argument or result travels.
enum class eNativeKind : std::uint8_t {
    Void,      // no result
    Bool,      // bool (one byte, the rest of the 4-byte slot zero)
    Int,       // 32-bit integer or enumeration
    Float,     // float
    Reference  // reference or pointer (pointer-sized)
};

class cNativeFunction {
public:
    virtual ~cNativeFunction() = default;

    // Runs the host code: object is the object of a method call (null for plain calls), arguments the argument
    // block, result an 8-byte slot that receives the result.
    virtual void Invoke(void* object, const std::uint8_t* arguments, std::uint8_t* result) const = 0;
    // An independent copy (the caller owns it).
    virtual cNativeFunction* Clone() const = 0;

    eNativeKind GetResultKind() const { return m_Result; }
    const std::vector<eNativeKind>& GetArgumentKinds() const { return m_Arguments; }
    // True when the binding passes the object to the host code.
    bool TakesObject() const { return m_TakesObject; }

protected:
    cNativeFunction(eNativeKind result, std::vector<eNativeKind> arguments, bool takesObject)
        : m_Result(result), m_Arguments(std::move(arguments)), m_TakesObject(takesObject) {}
    cNativeFunction(const cNativeFunction&) = default;
    cNativeFunction& operator=(const cNativeFunction&) = default;

private:
    eNativeKind m_Result;
    std::vector<eNativeKind> m_Arguments;
    bool m_TakesObject;
};

// The bytes an argument of a kind takes in the argument block.
constexpr std::size_t NativeArgumentSize(eNativeKind kind) {
    return kind == eNativeKind::Reference ? sizeof(void*) : 4;
}

} // namespace velmora::script
