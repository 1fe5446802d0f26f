// Answers and records the platform calls of the program under test: message boxes are
// answered from a queue and recorded, the computer name is chosen by the test. The previous
// bindings come back when the fake goes out of scope.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/Platform.h"

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
    // Whether the program's progress window stood on screen as the box was shown.
    bool overProgress = false;
};

class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Answers for the next message boxes, in order; IDOK once the queue is empty.
    std::deque<int> answers;
    std::vector<RecordedBox> boxes;

    // A fresh application-data folder of this fake's own, removed with it.
    std::wstring appData;
    // The host list file inside it.
    std::wstring HostFile() const;

    // The computer name reported; a failing lookup when failComputerName is set.
    std::wstring computerName = L"brackwin-test";
    // What the elevation query answers.
    Elevation elevation = Elevation::Elevated;
    bool failComputerName = false;

    static FakePlatform* Current();

private:
    Platform saved_;
};
