#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "app/MessageLoop.h"

namespace {

constexpr UINT probe = WM_APP + 1;

// Records what it saw into a shared journal and consumes the probe when told to.
class RecordingFilter final : public CMessageFilter {
public:
    RecordingFilter(std::vector<std::string>& journal, std::string name, bool consume)
        : journal_(journal), name_(std::move(name)), consume_(consume) {}
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message != probe)
            return FALSE;
        journal_.push_back(name_);
        return consume_;
    }

private:
    std::vector<std::string>& journal_;
    std::string name_;
    bool consume_;
};

class CountingIdle final : public CIdleHandler {
public:
    BOOL OnIdle() override
    {
        ++passes;
        return FALSE;
    }
    int passes = 0;
};

// A window that stops the loop once it has seen the probes it expects.
struct LoopWindow {
    LoopWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BrackwinLoopTest";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"BrackwinLoopTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    }
    ~LoopWindow() { DestroyWindow(window); }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == probe) {
            ++dispatched;
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window = nullptr;
    static inline int dispatched = 0;
};

TEST(MessageLoop, OffersMessagesToTheNewestFilterFirstAndDispatchesWhatNoneTook)
{
    std::vector<std::string> journal;
    RecordingFilter older(journal, "older", false);
    RecordingFilter newer(journal, "newer", false);
    CMessageLoop loop;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&newer);
    LoopWindow target;
    LoopWindow::dispatched = 0;

    PostMessageW(target.window, probe, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(journal, (std::vector<std::string>{"newer", "older"}));
    EXPECT_EQ(LoopWindow::dispatched, 1);
}

TEST(MessageLoop, AConsumingFilterHidesTheMessageFromOlderFiltersAndTheWindow)
{
    std::vector<std::string> journal;
    RecordingFilter older(journal, "older", false);
    RecordingFilter consuming(journal, "consuming", true);
    CMessageLoop loop;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&consuming);
    LoopWindow target;
    LoopWindow::dispatched = 0;

    PostMessageW(target.window, probe, 0, 0);
    PostQuitMessage(0);
    loop.Run();
    EXPECT_EQ(journal, (std::vector<std::string>{"consuming"}));
    EXPECT_EQ(LoopWindow::dispatched, 0);

    journal.clear();
    loop.RemoveMessageFilter(&consuming);
    PostMessageW(target.window, probe, 0, 0);
    PostQuitMessage(0);
    loop.Run();
    EXPECT_EQ(journal, (std::vector<std::string>{"older"}));
    EXPECT_EQ(LoopWindow::dispatched, 1);
}

TEST(MessageLoop, RunsEveryIdleHandlerInOrderWhenTheQueueFirstEmpties)
{
    std::vector<std::string> journal;
    class JournalIdle final : public CIdleHandler {
    public:
        JournalIdle(std::vector<std::string>& journal, std::string name, bool quit)
            : journal_(journal), name_(std::move(name)), quit_(quit) {}
        BOOL OnIdle() override
        {
            journal_.push_back(name_);
            if (quit_)
                PostQuitMessage(0);
            return FALSE;
        }

    private:
        std::vector<std::string>& journal_;
        std::string name_;
        bool quit_;
    };
    JournalIdle first(journal, "first", false);
    JournalIdle last(journal, "last", true);
    CMessageLoop loop;
    loop.AddIdleHandler(&first);
    loop.AddIdleHandler(&last);
    loop.Run();
    EXPECT_EQ(journal, (std::vector<std::string>{"first", "last"}));
}

// Drives a loop through one message after its first idle pass: the idle handler posts the
// message on its first pass and the quit message on its second; a timer set when the message
// is handled wakes a loop that waits with nothing to do, and ends it.
class IdleScript final : public CIdleHandler {
public:
    IdleScript(UINT message, UINT wakeAfter) : message_(message), wakeAfter_(wakeAfter)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BrackwinIdleScript";
        RegisterClassW(&windowClass);
        window_ = CreateWindowW(L"BrackwinIdleScript", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~IdleScript() { DestroyWindow(window_); }
    IdleScript(const IdleScript&) = delete;
    IdleScript& operator=(const IdleScript&) = delete;

    BOOL OnIdle() override
    {
        journal.push_back("idle");
        if (journal.size() == 1)
            PostMessageW(window_, message_, 0, 0);
        else
            PostQuitMessage(0);
        return FALSE;
    }

    std::vector<std::string> journal;

private:
    static constexpr UINT_PTR wakeTimer = 77;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<IdleScript*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_TIMER && wParam == wakeTimer) {
            KillTimer(window, wakeTimer);
            self->journal.push_back("woken");
            PostQuitMessage(0);
            return 0;
        }
        if (self && message == self->message_) {
            self->journal.push_back("message");
            SetTimer(window, wakeTimer, self->wakeAfter_, nullptr);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    UINT message_;
    UINT wakeAfter_;
    HWND window_ = nullptr;
};

struct RearmCase {
    const char* name;
    UINT message;
    bool rearms;
};

class IdleRearming : public ::testing::TestWithParam<RearmCase> {};

TEST_P(IdleRearming, FollowsEveryMessageButMouseMovesPaintAndTheSystemTimer)
{
    const RearmCase& c = GetParam();
    // After a message that re-arms, the next idle pass comes at once and the timer never
    // fires; after one that does not, only the timer ends the wait.
    IdleScript script(c.message, c.rearms ? 10000 : 50);
    CMessageLoop loop;
    loop.AddIdleHandler(&script);
    EXPECT_EQ(loop.Run(), 0);
    const std::vector<std::string> expected =
        c.rearms ? std::vector<std::string>{"idle", "message", "idle"}
                 : std::vector<std::string>{"idle", "message", "woken"};
    EXPECT_EQ(script.journal, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, IdleRearming,
    ::testing::Values(RearmCase{"KeyDown", WM_KEYDOWN, true},
                      RearmCase{"Command", WM_COMMAND, true},
                      RearmCase{"Timer", WM_TIMER, true},
                      RearmCase{"Private", probe, true},
                      RearmCase{"MouseMove", WM_MOUSEMOVE, false},
                      RearmCase{"NonClientMouseMove", WM_NCMOUSEMOVE, false},
                      RearmCase{"Paint", WM_PAINT, false},
                      RearmCase{"SystemTimer", 0x0118, false}),
    [](const ::testing::TestParamInfo<RearmCase>& info) { return info.param.name; });

class ThrowingFilter final : public CMessageFilter {
public:
    BOOL PreTranslateMessage(MSG* message) override
    {
        if (message->message == probe)
            throw std::bad_alloc();
        return FALSE;
    }
};

TEST(MessageLoop, AFilterThatRunsOutOfMemoryLetsTheMessageGoOn)
{
    std::vector<std::string> journal;
    RecordingFilter older(journal, "older", false);
    ThrowingFilter throwing;
    CMessageLoop loop;
    loop.AddMessageFilter(&older);
    loop.AddMessageFilter(&throwing);
    LoopWindow target;
    LoopWindow::dispatched = 0;

    PostMessageW(target.window, probe, 0, 0);
    PostQuitMessage(3);
    EXPECT_EQ(loop.Run(), 3);
    EXPECT_EQ(journal, (std::vector<std::string>{"older"}));
    EXPECT_EQ(LoopWindow::dispatched, 1);
}

}
