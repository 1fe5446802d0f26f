// What the lower layers need of the program to tell the user of a failure (an error box owned
// by the main window) or of something that did not fail but needs saying (an information box).
// The Application provides it, from any thread.
#pragma once

class ErrorReporter {
public:
    virtual void ShowError(const wchar_t* text, const wchar_t* caption) = 0;
    virtual void ShowNotice(const wchar_t* text, const wchar_t* caption) = 0;

protected:
    ~ErrorReporter() = default;
};
