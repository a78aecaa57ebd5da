// cFunctor, cFunctorImpl and cMethodHandler.

#include "engine/core/cFunctor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <type_traits>

using namespace velmora;

static_assert(std::is_same_v<tTypeList<>, sNullType>);
static_assert(std::is_same_v<tTypeList<int, const char*>, sTypeList<int, sTypeList<const char*, sNullType>>>);

namespace {

int g_FrameCount = 0;
bool CountFrame() { return ++g_FrameCount < 3; }

int Add(int a, int b) { return a + b; }

class cCounterWindow {
public:
    void OnKey(int key) { m_Sum += key; }
    int Scaled(int v) const { return v * m_Scale; }
    int m_Sum = 0;
    int m_Scale = 3;
};

// A holder of our own that keeps count of live copies.
class cTrackedImpl : public cFunctorImpl<int, tTypeList<int>> {
public:
    static int s_Live;
    cTrackedImpl() { ++s_Live; }
    cTrackedImpl(const cTrackedImpl&) : cFunctorImpl() { ++s_Live; }
    ~cTrackedImpl() override { --s_Live; }
    int Call(int v) override { return v + 100; }
    cFunctorImpl* Clone() const override { return new cTrackedImpl(*this); }
};
int cTrackedImpl::s_Live = 0;

} // namespace

TEST(Functor, FrameCallbackFromAFreeFunction) {
    // The engine loop's use: call until the callback returns false.
    g_FrameCount = 0;
    cFunctor<bool, tTypeList<>> frame = &CountFrame;
    ASSERT_TRUE(frame);
    int frames = 0;
    while (frame()) ++frames;
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(g_FrameCount, 3);

    cFunctor<int, tTypeList<int, int>> add(&Add);
    EXPECT_EQ(add(2, 40), 42);
}

TEST(Functor, LambdasWithStateAndReferenceArguments) {
    int calls = 0;
    cFunctor<void, tTypeList<>> tick = [&calls] { ++calls; };
    tick();
    tick();
    EXPECT_EQ(calls, 2);

    cFunctor<void, tTypeList<std::string&>> append = [](std::string& s) { s += "!"; };
    std::string text = "go";
    append(text);
    EXPECT_EQ(text, "go!");
}

TEST(Functor, MethodHandlersBindObjectAndMethod) {
    cCounterWindow window;
    cFunctor<void, tTypeList<int>> viaHandler = cMethodHandler(&window, &cCounterWindow::OnKey);
    cFunctor<void, tTypeList<int>> direct(&window, &cCounterWindow::OnKey);
    viaHandler(5);
    direct(7);
    EXPECT_EQ(window.m_Sum, 12);

    const cCounterWindow& constWindow = window;
    cFunctor<int, tTypeList<int>> scaled(&constWindow, &cCounterWindow::Scaled);
    EXPECT_EQ(scaled(4), 12);
}

TEST(Functor, CopiesAreIndependent) {
    // A mutable lambda carries its own counter; a copy must clone it.
    cFunctor<int, tTypeList<>> counter = [n = 0]() mutable { return ++n; };
    EXPECT_EQ(counter(), 1);
    cFunctor<int, tTypeList<>> copy = counter;
    EXPECT_EQ(copy(), 2);
    EXPECT_EQ(copy(), 3);
    EXPECT_EQ(counter(), 2);

    cFunctor<int, tTypeList<>> moved = std::move(copy);
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_EQ(moved(), 4);

    // Tables of handlers copied around keep working.
    std::map<std::string, cFunctor<int, tTypeList<int, int>>> table;
    table["mul"] = [](int a, int b) { return a * b; };
    auto tableCopy = table;
    table.clear();
    EXPECT_EQ(tableCopy["mul"](3, 4), 12);
}

TEST(Functor, EmptyFunctorsCallNothing) {
    cFunctor<bool, tTypeList<>> none;
    EXPECT_FALSE(none);
    EXPECT_FALSE(none());

    bool (*nullFunction)() = nullptr;
    const cFunctor<bool, tTypeList<>> fromNull(nullFunction);
    EXPECT_TRUE(fromNull.IsEmpty());

    cCounterWindow* noWindow = nullptr;
    cFunctor<void, tTypeList<int>> noObject(noWindow, &cCounterWindow::OnKey);
    EXPECT_TRUE(noObject.IsEmpty());
    noObject(3);

    cFunctor<int, tTypeList<int, int>> add = &Add;
    add = nullptr;
    EXPECT_TRUE(add.IsEmpty());
    EXPECT_EQ(add(1, 2), 0);
    EXPECT_TRUE((cFunctor<int, tTypeList<int, int>>(add).IsEmpty()));
}

TEST(Functor, CustomImplIsClonedAndDestroyed) {
    cTrackedImpl::s_Live = 0;
    {
        cFunctor<int, tTypeList<int>> f(new cTrackedImpl);
        EXPECT_EQ(cTrackedImpl::s_Live, 1);
        EXPECT_EQ(f(1), 101);
        cFunctor<int, tTypeList<int>> g = f;
        EXPECT_EQ(cTrackedImpl::s_Live, 2);
        EXPECT_NE(f.GetImpl(), g.GetImpl());
        g = f;  // the previous holder of g goes
        EXPECT_EQ(cTrackedImpl::s_Live, 2);
        f.Reset();
        EXPECT_EQ(cTrackedImpl::s_Live, 1);
        EXPECT_EQ(g(2), 102);
    }
    EXPECT_EQ(cTrackedImpl::s_Live, 0);
}
