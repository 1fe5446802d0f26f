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

TEST(MessageLoop, MouseMovesPaintAndTheSystemTimerDoNotReArmIdleProcessing)
{
    for (UINT message : std::initializer_list<UINT>{WM_MOUSEMOVE, WM_NCMOUSEMOVE, WM_PAINT, 0x0118})
        EXPECT_FALSE(CMessageLoop::RearmsIdle(message)) << message;
    for (UINT message : std::initializer_list<UINT>{WM_KEYDOWN, WM_COMMAND, WM_TIMER, WM_LBUTTONDOWN, probe})
        EXPECT_TRUE(CMessageLoop::RearmsIdle(message)) << message;
}

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
