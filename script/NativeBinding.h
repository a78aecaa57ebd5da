#pragma once
// Typed trampolines for host functions and methods (see cNativeFunction.h).
//
//   env->RegisterClassMethod(cls, "int", "Add", "int a, int b", NativeMethod(&cCounter::Add));
//   env->RegisterClassMethod(cls, "void", "Reset", "", NativeMethod(&ResetCounter));   // void ResetCounter(cCounter*)
//   cFunctor<float, tTypeList<cCounter*, float>> scale = [&](cCounter* c, float f) { ... };
//   env->RegisterClassMethod(cls, "float", "Scale", "float", NativeMethod(scale));
//
// Supported C++ argument types: bool, 32-bit integers, enumerations with a 4-byte representation, float,
// references and pointers (script "T&" arguments; a script string is an sScriptString). Results: void, the
// same value types, references and pointers.

#include <cstring>
#include <type_traits>
#include <utility>

#include "engine/core/cFunctor.h"
#include "script/cNativeFunction.h"

namespace velmora::script {

namespace native_detail {

template <class T, class = void>
struct sArgument {
    static_assert(sizeof(T) == 0, "this C++ type cannot cross the script boundary");
};

template <>
struct sArgument<bool> {
    static constexpr eNativeKind kKind = eNativeKind::Bool;
    static bool Read(const std::uint8_t* at) { return at[0] != 0; }
};

template <class T>
struct sArgument<T, std::enable_if_t<(std::is_integral_v<T> || std::is_enum_v<T>) && !std::is_same_v<T, bool> &&
                                     sizeof(T) == 4>> {
    static constexpr eNativeKind kKind = eNativeKind::Int;
    static T Read(const std::uint8_t* at) {
        std::int32_t value = 0;
        std::memcpy(&value, at, 4);
        return static_cast<T>(value);
    }
};

template <>
struct sArgument<float> {
    static constexpr eNativeKind kKind = eNativeKind::Float;
    static float Read(const std::uint8_t* at) {
        float value = 0.0f;
        std::memcpy(&value, at, 4);
        return value;
    }
};

template <class T>
struct sArgument<T&> {
    static constexpr eNativeKind kKind = eNativeKind::Reference;
    static T& Read(const std::uint8_t* at) {
        void* pointer = nullptr;
        std::memcpy(&pointer, at, sizeof(pointer));
        return *static_cast<T*>(pointer);
    }
};

template <class T>
struct sArgument<T*> {
    static constexpr eNativeKind kKind = eNativeKind::Reference;
    static T* Read(const std::uint8_t* at) {
        void* pointer = nullptr;
        std::memcpy(&pointer, at, sizeof(pointer));
        return static_cast<T*>(pointer);
    }
};

template <class T>
struct sArgument<const T> : sArgument<T> {};

// Stores a result into the 8-byte slot.
template <class R>
struct sResult {
    static constexpr eNativeKind kKind = sArgument<R>::kKind;
    static void Write(std::uint8_t* slot, R value) {
        if constexpr (std::is_same_v<std::decay_t<R>, bool>) {
            slot[0] = value ? 1 : 0;
        } else if constexpr (std::is_pointer_v<R>) {
            const void* pointer = value;
            std::memcpy(slot, &pointer, sizeof(pointer));
        } else if constexpr (std::is_reference_v<R>) {
            const void* pointer = &value;
            std::memcpy(slot, &pointer, sizeof(pointer));
        } else {
            std::memcpy(slot, &value, 4);
        }
    }
};

template <>
struct sResult<void> {
    static constexpr eNativeKind kKind = eNativeKind::Void;
};

// The offset of argument index in a block holding arguments of the listed types.
template <class... TArgs>
constexpr std::size_t ArgumentOffset(std::size_t index) {
    constexpr eNativeKind kinds[] = {sArgument<TArgs>::kKind..., eNativeKind::Void};
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index; ++i) {
        offset += NativeArgumentSize(kinds[i]);
    }
    return offset;
}

// The trampoline: TInvoker is called as invoker(object, arguments...).
template <class R, class TInvoker, class... TArgs>
class cNativeBinding final : public cNativeFunction {
public:
    cNativeBinding(TInvoker invoker, bool takesObject)
        : cNativeFunction(sResult<R>::kKind, {sArgument<TArgs>::kKind...}, takesObject),
          m_Invoker(std::move(invoker)) {}

    void Invoke(void* object, const std::uint8_t* arguments, std::uint8_t* result) const override {
        Call(object, arguments, result, std::index_sequence_for<TArgs...>());
    }

    cNativeFunction* Clone() const override { return new cNativeBinding(*this); }

private:
    template <std::size_t... I>
    void Call(void* object, const std::uint8_t* arguments, std::uint8_t* result, std::index_sequence<I...>) const {
        (void)arguments;
        if constexpr (std::is_void_v<R>) {
            (void)result;
            m_Invoker(object, sArgument<TArgs>::Read(arguments + ArgumentOffset<TArgs...>(I))...);
        } else {
            sResult<R>::Write(result, m_Invoker(object, sArgument<TArgs>::Read(arguments + ArgumentOffset<TArgs...>(I))...));
        }
    }

    TInvoker m_Invoker;
};

template <class R, class... TArgs, class TInvoker>
cNativeBinding<R, TInvoker, TArgs...> MakeBinding(TInvoker invoker, bool takesObject) {
    return cNativeBinding<R, TInvoker, TArgs...>(std::move(invoker), takesObject);
}

template <class R, class TList, class... TAcc>
struct sFunctorMethod;

} // namespace native_detail

// A member function called on the script's object.
template <class C, class R, class... TArgs>
auto NativeMethod(R (C::*method)(TArgs...)) {
    return native_detail::MakeBinding<R, TArgs...>(
        [method](void* object, TArgs... args) -> R {
            return (static_cast<C*>(object)->*method)(std::forward<TArgs>(args)...);
        },
        true);
}

template <class C, class R, class... TArgs>
auto NativeMethod(R (C::*method)(TArgs...) const) {
    return native_detail::MakeBinding<R, TArgs...>(
        [method](void* object, TArgs... args) -> R {
            return (static_cast<const C*>(object)->*method)(std::forward<TArgs>(args)...);
        },
        true);
}

// A free function taking the script's object as its first argument.
template <class C, class R, class... TArgs>
auto NativeMethod(R (*function)(C*, TArgs...)) {
    return native_detail::MakeBinding<R, TArgs...>(
        [function](void* object, TArgs... args) -> R {
            return function(static_cast<C*>(object), std::forward<TArgs>(args)...);
        },
        true);
}

// A functor taking the script's object as its first argument.
template <class R, class C, class TRest>
auto NativeMethod(const cFunctor<R, sTypeList<C*, TRest>>& functor) {
    return native_detail::sFunctorMethod<R, TRest>::Make(functor);
}

// A free function that receives no object.
template <class R, class... TArgs>
auto NativeFunction(R (*function)(TArgs...)) {
    return native_detail::MakeBinding<R, TArgs...>(
        [function](void*, TArgs... args) -> R { return function(std::forward<TArgs>(args)...); }, false);
}

namespace native_detail {

template <class R, class... TAcc>
struct sFunctorMethod<R, sNullType, TAcc...> {
    template <class TFunctor>
    static auto Make(const TFunctor& functor) {
        using tObject = typename TFunctor::tArguments::Head;
        return MakeBinding<R, TAcc...>(
            [functor](void* object, TAcc... args) -> R {
                return functor(static_cast<tObject>(object), std::forward<TAcc>(args)...);
            },
            true);
    }
};

template <class R, class THead, class TTail, class... TAcc>
struct sFunctorMethod<R, sTypeList<THead, TTail>, TAcc...> : sFunctorMethod<R, TTail, TAcc..., THead> {};

} // namespace native_detail

} // namespace velmora::script
