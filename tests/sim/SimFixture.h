// A test world on a virtual clock, installed for the test, with an application and helpers to
// run queries and calls the way the program does. At the end every test must have released
// every handle and misused none.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mgmt/MiClient.h"
#include "sim/SimWorld.h"
#include "tests/support/FakePlatform.h"

class SimTest : public ::testing::Test {
protected:
    SimTest();
    ~SimTest() override;

    void TearDown() override;

    // A session to the host (none: the local "WMIDCOM" session).
    MI_Session Open(const wchar_t* destination = nullptr, const wchar_t* protocol = L"WINRM");
    void Close(MI_Session& session);

    struct Pulled {
        std::vector<std::wstring> values; // the requested property of each delivered instance
        MI_Result result = MI_RESULT_OK;  // the result of the final delivery
        int deliveries = 0;
    };
    // Runs a query, pulls every delivery and reads one string property of each instance.
    Pulled Query(MI_Session& session, const wchar_t* nameSpace, const wchar_t* query,
                 const wchar_t* property = L"Name", MI_Uint32 flags = 0);
    // Checks what a pull returned against the result it reported, as the world reports them.
    void ExpectReturned(MI_Result returned, MI_Result result) const;
    // Pulls the rest of an instance operation to its final delivery, closes it and answers
    // the final result.
    MI_Result Drain(MI_Operation& operation);

    // Invokes a method with parameters built by the caller; answers ReturnValue (or the
    // failure result negated) and the job's InstanceID when one came back.
    struct Answer {
        MI_Result result = MI_RESULT_OK;
        MI_Uint32 returnValue = 0;
        std::wstring jobId;
    };
    Answer Invoke(MI_Session& session, const MI_Instance* target, const wchar_t* method,
                  const MI_Instance* parameters);
    // A key-only instance of a v2 class with one string key set, as the program builds one.
    MI_Instance* KeyInstance(const wchar_t* className, const wchar_t* key, const wchar_t* value);
    // Reads the job's JobState (and ErrorCode) through a GetInstance of its key.
    MI_Result ReadJob(MI_Session& session, const std::wstring& jobId, MI_Uint16& jobState,
                      MI_Uint16& errorCode, std::wstring* description = nullptr);

    FakePlatform platform;
    sim::World world;
    sim::ScopedWorld installed{world};
    MI_Application application{};
};

std::wstring StringElement(const MI_Instance* instance, const wchar_t* name);

// A VM description with the rest left as a new VM gets it.
sim::VmConfig Machine(const wchar_t* name, MI_Uint16 state = sim::state::Off, const wchar_t* guid = L"");
