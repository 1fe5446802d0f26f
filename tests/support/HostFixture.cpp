#include "tests/support/HostFixture.h"

HostFixture::HostFixture() = default;

HostFixture::~HostFixture() = default;

void HostFixture::SetUp()
{
    application = std::make_unique<Application>(GetModuleHandleW(nullptr));
    ASSERT_NE(application->Init(), -1);
    baseline = world.Live();
    world.ClearCalls();
}

void HostFixture::TearDown()
{
    if (application) {
        application->Shutdown();
        application.reset();
    }
    EXPECT_EQ(world.Live(), sim::LiveCounts{});
    for (const std::wstring& misuse : world.Misuses())
        ADD_FAILURE() << "client misuse: " << std::string(misuse.begin(), misuse.end());
}

int HostFixture::CountCalls(sim::CallKind kind, const wchar_t* subject) const
{
    int count = 0;
    for (const sim::CallRecord& call : world.Calls()) {
        if (call.kind == kind && (!subject || call.className == subject || call.method == subject))
            ++count;
    }
    return count;
}

ManagementSession* HostFixture::Session(const wchar_t* hostName)
{
    return application->SessionForHost(hostName);
}

VmEntry* HostFixture::Entry(ManagementSession& session, const wchar_t* elementName)
{
    for (const VmEntryPtr& entry : session.vmEntries) {
        if (entry->ElementName == elementName)
            return entry.get();
    }
    return nullptr;
}

void HostFixture::ExpectNothingLeaked() const
{
    sim::LiveCounts live = world.Live();
    // Sessions stay registered until shutdown, each with the class declarations it fetched;
    // everything else a call made must be gone.
    live.sessions = baseline.sessions;
    for (const auto& session : application->Sessions())
        live.classes -= static_cast<int>(session->CachedClassCount());
    EXPECT_EQ(live, baseline);
}
