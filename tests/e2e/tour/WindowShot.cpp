#include "tests/e2e/tour/WindowShot.h"

#include "base/Unique.h"

namespace {

struct MemoryDcTraits {
    static HDC Empty() noexcept { return nullptr; }
    static void Close(HDC dc) noexcept { DeleteDC(dc); }
};
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;
using UniqueBitmap = Unique<HBITMAP, GdiTraits<HBITMAP>>;

// The screen's device context. Read through it, a window comes with whatever covers it, such
// as its own message boxes; read through the window's own context, Wine's X11 driver leaves
// the parts that another process's window covers black.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

DWORD RowBytes(LONG width)
{
    return (static_cast<DWORD>(width) * 3 + 3) & ~3u;
}

[[nodiscard]] bool WriteBmp(const std::wstring& path, const BITMAPINFOHEADER& header,
                            const void* pixels)
{
    const DWORD pixelBytes = RowBytes(header.biWidth) * static_cast<DWORD>(header.biHeight);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + pixelBytes;
    const HANDLE opened = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    const UniqueHandle out(opened);
    const struct {
        const void* data;
        DWORD size;
    } parts[] = {{&file, sizeof(file)}, {&header, sizeof(header)}, {pixels, pixelBytes}};
    for (const auto& part : parts) {
        DWORD written = 0;
        if (!WriteFile(out.Get(), part.data, part.size, &written, nullptr) || written != part.size)
            return false;
    }
    return true;
}

}

bool SaveWindowShot(HWND window, const std::wstring& path)
{
    RECT bounds{};
    if (!GetWindowRect(window, &bounds))
        return false;
    BITMAPINFO info{};
    BITMAPINFOHEADER& header = info.bmiHeader;
    header.biSize = sizeof(header);
    header.biWidth = bounds.right - bounds.left;
    header.biHeight = bounds.bottom - bounds.top;  // positive: bottom-up rows, as BMP files hold
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    if (header.biWidth <= 0 || header.biHeight <= 0)
        return false;

    const ScreenDc source;
    const UniqueMemoryDc target(CreateCompatibleDC(source.Get()));
    if (!source.Get() || !target)
        return false;
    void* pixels = nullptr;
    const UniqueBitmap bitmap(
        CreateDIBSection(target.Get(), &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels)
        return false;
    const HGDIOBJ previous = SelectObject(target.Get(), bitmap.Get());
    const BOOL copied = BitBlt(target.Get(), 0, 0, header.biWidth, header.biHeight, source.Get(),
                               bounds.left, bounds.top, SRCCOPY | CAPTUREBLT);
    SelectObject(target.Get(), previous);
    GdiFlush();
    return copied && WriteBmp(path, header, pixels);
}
