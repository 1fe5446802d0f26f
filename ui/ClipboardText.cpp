#include "ui/ClipboardText.h"

#include <cstring>

#include "base/Unique.h"

namespace {

struct GlobalTraits {
    static HGLOBAL Empty() noexcept { return nullptr; }
    static void Close(HGLOBAL memory) noexcept { GlobalFree(memory); }
};
using UniqueGlobal = Unique<HGLOBAL, GlobalTraits>;

// The clipboard, open for as long as the scope lives.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (open_)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

}

bool PutTextOnClipboard(HWND owner, const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* target = GlobalLock(memory.Get());
    if (!target)
        return false;
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.Get());
    const OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard())
        return false;
    // Once the clipboard has taken the memory, it is the clipboard's to free.
    if (!SetClipboardData(CF_UNICODETEXT, memory.Get()))
        return false;
    memory.Release();
    return true;
}
