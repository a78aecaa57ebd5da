#pragma once
// Type-erased callables with their argument list given as a type list.
//
//   sTypeList<int, sTypeList<float, sNullType>>   the list (int, float)
//   tTypeList<int, float>                         the same list, built from a pack
//   tTypeList<>                                   sNullType, no arguments
//
//   cFunctor<bool, tTypeList<>> frame = &FreeFunction;          // free function
//   cFunctor<void, tTypeList<int>> f = [&](int k) { ... };      // lambda / function object
//   cFunctor<void, tTypeList<int>> h(this, &cWindow::OnKey);    // object + method
//   cFunctor<void, tTypeList<int>> g = cMethodHandler(this, &cWindow::OnKey);
//   if (f) f(42);
//
// A functor owns one cFunctorImpl. Copying a functor copies the impl through
// its Clone operation; destroying it destroys the impl. An empty functor (the
// default, null, a null function pointer or a method handler without object
// or method) calls nothing and returns a value-initialised result (nothing
// for void); results that cannot be value-initialised throw
// std::bad_function_call instead.

#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

namespace velmora {

// The end of every type list.
struct sNullType {};

// One link of a type list: the first type and the rest of the list.
template <class THead, class TTail>
struct sTypeList {
    using Head = THead;
    using Tail = TTail;
};

namespace functor_detail {

template <class... Ts>
struct sMakeList;
template <>
struct sMakeList<> {
    using Type = sNullType;
};
template <class THead, class... TRest>
struct sMakeList<THead, TRest...> {
    using Type = sTypeList<THead, typename sMakeList<TRest...>::Type>;
};

// R(A...) for the result R and the arguments listed in TList.
template <class R, class TList, class... TAcc>
struct sSignature;
template <class R, class... TAcc>
struct sSignature<R, sNullType, TAcc...> {
    using Type = R(TAcc...);
};
template <class R, class THead, class TTail, class... TAcc>
struct sSignature<R, sTypeList<THead, TTail>, TAcc...> : sSignature<R, TTail, TAcc..., THead> {};

} // namespace functor_detail

// The type list of a parameter pack: tTypeList<int, float> is
// sTypeList<int, sTypeList<float, sNullType>>.
template <class... Ts>
using tTypeList = typename functor_detail::sMakeList<Ts...>::Type;

// ---------------------------------------------------------------------------
// cFunctorImpl: the abstract holder. Derive from cFunctorImpl<R, TList> to
// provide a callable of a kind of one's own (a script function, say) and hand
// it to cFunctor, which takes ownership.
template <class R, class TList, class TSignature = typename functor_detail::sSignature<R, TList>::Type>
class cFunctorImpl;

template <class R, class TList, class... TArgs>
class cFunctorImpl<R, TList, R(TArgs...)> {
public:
    using tResult = R;
    using tArguments = TList;

    // Destroy operation.
    virtual ~cFunctorImpl() = default;
    // Call operation: runs the callable with the arguments.
    virtual R Call(TArgs... args) = 0;
    // Copy operation: a new, independent holder of a copy of the callable
    // (the caller owns it).
    virtual cFunctorImpl* Clone() const = 0;
};

// ---------------------------------------------------------------------------
// cMethodHandler: an object pointer and one of its member functions, callable
// like a function. TMethod is the member function pointer type (const
// methods included). Class template argument deduction applies:
// cMethodHandler(this, &cWindow::OnKey).
template <class TObject, class TMethod>
class cMethodHandler {
public:
    cMethodHandler(TObject* object, TMethod method) : m_Object(object), m_Method(method) {}

    // Calls the method on the object.
    template <class... TCallArgs>
    decltype(auto) operator()(TCallArgs&&... args) const {
        return (m_Object->*m_Method)(std::forward<TCallArgs>(args)...);
    }

    // Both an object and a method are set.
    bool IsValid() const { return m_Object != nullptr && m_Method != nullptr; }
    TObject* GetInstance() const { return m_Object; }
    TMethod GetMethod() const { return m_Method; }

private:
    TObject* m_Object;
    TMethod m_Method;
};

// The handler for an object and a method.
template <class TObject, class TMethod>
cMethodHandler<TObject, TMethod> MakeMethodHandler(TObject* object, TMethod method) {
    return cMethodHandler<TObject, TMethod>(object, method);
}

namespace functor_detail {

template <class T>
struct sIsMethodHandler : std::false_type {};
template <class TObject, class TMethod>
struct sIsMethodHandler<cMethodHandler<TObject, TMethod>> : std::true_type {};

// Callables that stand for "nothing to call".
template <class F>
bool IsNullCallable(const F& f) {
    if constexpr (std::is_pointer_v<F> || std::is_member_pointer_v<F>) {
        return f == nullptr;
    } else if constexpr (sIsMethodHandler<F>::value) {
        return !f.IsValid();
    } else {
        (void)f;
        return false;
    }
}

// The holder of any copyable callable F.
template <class R, class TList, class F, class TSignature = typename sSignature<R, TList>::Type>
class cCallableImpl;

template <class R, class TList, class F, class... TArgs>
class cCallableImpl<R, TList, F, R(TArgs...)> final : public cFunctorImpl<R, TList> {
public:
    template <class G>
    explicit cCallableImpl(G&& callable) : m_Callable(std::forward<G>(callable)) {}

    R Call(TArgs... args) override {
        if constexpr (std::is_void_v<R>) {
            std::invoke(m_Callable, std::forward<TArgs>(args)...);
        } else {
            return std::invoke(m_Callable, std::forward<TArgs>(args)...);
        }
    }

    cFunctorImpl<R, TList>* Clone() const override { return new cCallableImpl(*this); }

private:
    F m_Callable;
};

} // namespace functor_detail

// ---------------------------------------------------------------------------
// cFunctor: owns one cFunctorImpl (or none: empty).
template <class R, class TList, class TSignature = typename functor_detail::sSignature<R, TList>::Type>
class cFunctor;

template <class R, class TList, class... TArgs>
class cFunctor<R, TList, R(TArgs...)> {
public:
    using tImpl = cFunctorImpl<R, TList>;
    using tResult = R;
    using tArguments = TList;

    // Empty.
    cFunctor() = default;
    cFunctor(std::nullptr_t) {}

    // Takes ownership of a holder (null gives an empty functor).
    explicit cFunctor(tImpl* impl) : m_Impl(impl) {}

    // Any copyable callable taking the listed arguments: free function
    // pointer, lambda, function object, cMethodHandler. Null function
    // pointers and invalid handlers give an empty functor.
    template <class F, class TDecayed = std::decay_t<F>,
              class = std::enable_if_t<!std::is_same_v<TDecayed, cFunctor> &&
                                       !std::is_same_v<TDecayed, std::nullptr_t> &&
                                       std::is_invocable_r_v<R, TDecayed&, TArgs...>>>
    cFunctor(F&& callable) {
        static_assert(std::is_copy_constructible_v<TDecayed>, "cFunctor needs a copyable callable");
        if (!functor_detail::IsNullCallable(callable))
            m_Impl = new functor_detail::cCallableImpl<R, TList, TDecayed>(std::forward<F>(callable));
    }

    // An object and one of its methods (empty when either is null).
    template <class TObject, class TMethod,
              class = std::enable_if_t<std::is_member_function_pointer_v<TMethod>>>
    cFunctor(TObject* object, TMethod method) : cFunctor(cMethodHandler<TObject, TMethod>(object, method)) {}

    cFunctor(const cFunctor& o) : m_Impl(o.m_Impl ? o.m_Impl->Clone() : nullptr) {}
    cFunctor(cFunctor&& o) noexcept : m_Impl(o.m_Impl) { o.m_Impl = nullptr; }
    cFunctor& operator=(const cFunctor& o) {
        if (this != &o) {
            tImpl* copy = o.m_Impl ? o.m_Impl->Clone() : nullptr;
            delete m_Impl;
            m_Impl = copy;
        }
        return *this;
    }
    cFunctor& operator=(cFunctor&& o) noexcept {
        if (this != &o) {
            delete m_Impl;
            m_Impl = o.m_Impl;
            o.m_Impl = nullptr;
        }
        return *this;
    }
    cFunctor& operator=(std::nullptr_t) {
        Reset();
        return *this;
    }
    ~cFunctor() { delete m_Impl; }

    // Calls the held callable; see the top of this file for empty functors.
    R operator()(TArgs... args) const {
        if (m_Impl) return m_Impl->Call(std::forward<TArgs>(args)...);
        if constexpr (std::is_void_v<R>) {
            return;
        } else if constexpr (std::is_default_constructible_v<R>) {
            return R();
        } else {
            throw std::bad_function_call();
        }
    }

    // No callable held.
    bool IsEmpty() const { return m_Impl == nullptr; }
    explicit operator bool() const { return m_Impl != nullptr; }
    bool operator==(std::nullptr_t) const { return m_Impl == nullptr; }
    bool operator!=(std::nullptr_t) const { return m_Impl != nullptr; }

    // Destroys the held callable.
    void Reset() {
        delete m_Impl;
        m_Impl = nullptr;
    }

    // A heap copy made with the holder's copy operation (the caller deletes it).
    cFunctor* Clone() const { return new cFunctor(*this); }

    // The holder, still owned by this functor (null when empty).
    tImpl* GetImpl() const { return m_Impl; }

private:
    tImpl* m_Impl = nullptr;
};

} // namespace velmora
