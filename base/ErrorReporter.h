// What the lower layers need of the program to tell the user of a failure: an error box owned
// by the main window. The Application provides it.
#pragma once

class ErrorReporter {
public:
    virtual void ShowError(const wchar_t* text, const wchar_t* caption) = 0;

protected:
    ~ErrorReporter() = default;
};
