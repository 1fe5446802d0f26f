// A scripted stand-in for the Windows credential prompt and Credential Manager, bound into the
// platform for its lifetime: the prompt answers from a queue and records how it was shown; the
// store keeps what was written in memory, byte for byte, so a test sees what would have
// reached the real store and never touches it.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "base/Platform.h"

struct ScriptedPrompt {
    DWORD result = NO_ERROR;  // ERROR_CANCELLED for Cancel; anything else: the prompt failed
    std::wstring user;
    std::wstring password;
    bool save = false;        // the remember box
};

struct RecordedPrompt {
    HWND owner = nullptr;
    std::wstring caption;
    std::wstring message;
    DWORD authError = 0;
    DWORD flags = 0;
};

struct StoredCredential {
    DWORD type = 0;
    DWORD persist = 0;
    std::wstring user;
    std::vector<BYTE> blob;  // the secret as written
};

class FakeCredentials {
public:
    FakeCredentials();
    ~FakeCredentials();
    FakeCredentials(const FakeCredentials&) = delete;
    FakeCredentials& operator=(const FakeCredentials&) = delete;

    // Answers of the next prompts, in order; Cancel once the queue is empty.
    std::deque<ScriptedPrompt> answers;
    std::vector<RecordedPrompt> prompts;
    // The store by target name, and every write and delete in order.
    std::map<std::wstring, StoredCredential> store;
    std::vector<std::wstring> writes;
    std::vector<std::wstring> deletes;
    // Credentials handed out by a read and not yet freed.
    int liveReads = 0;

    // Stores a credential as Credential Manager would hold one written for the target.
    void Remember(const std::wstring& target, const std::wstring& user, const std::wstring& password);

    static FakeCredentials* Current();

private:
    Platform saved_;
};

// True when the bytes hold the text's UTF-16 code units in a row (or its 8-bit form).
bool BytesHold(const std::string& bytes, const std::wstring& text);
