// The outcome of the directory computer picker: 0 for success or cancel, otherwise the step
// that failed. Each value has a fixed message text.
#pragma once

enum class PickerResult : int {
    Ok = 0,
    InvalidParent = 1,
    CreateFailed = 2,
    InitializeInvalidArgument = 3,
    InitializeOutOfMemory = 4,
    InitializeFailed = 5,
    DialogUnexpected = 6,
    DialogFailed = 7,
    FormatNotRegistered = 8,
    DataNotRunning = 9,
    DataMediumFull = 10,
    DataUnexpected = 11,
    DataOutOfMemory = 12,
    DataFailed = 13,
    NotGlobalMemory = 14,
    NoData = 15,
};

// The row of the message table for a result, of static lifetime. A value outside 0 to 15 gets
// a fixed text of its own, never null.
const wchar_t* PickerResultText(PickerResult result) noexcept;
