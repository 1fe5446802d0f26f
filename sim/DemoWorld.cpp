#include "sim/DemoWorld.h"

namespace sim {
namespace {

VmConfig Machine(const wchar_t* name, const wchar_t* guid, MI_Uint16 powerState, VmSettings settings)
{
    VmConfig config;
    config.name = name;
    config.guid = guid;
    config.state = powerState;
    config.settings = std::move(settings);
    return config;
}

VmSettings Firmware(const wchar_t* biosGuid, const wchar_t* serial, const wchar_t* assetTag,
                    bool numLock = false)
{
    VmSettings settings;
    settings.biosNumLock = numLock;
    settings.biosGuid = biosGuid;
    settings.biosSerialNumber = serial;
    settings.baseBoardSerialNumber = serial;
    settings.chassisSerialNumber = serial;
    settings.chassisAssetTag = assetTag;
    return settings;
}

void AddLocalMachines(Host& local)
{
    local.AddVm(Machine(L"Build Agent 01", L"3F2A8C41-7D0B-4E55-9A1C-62B0D4E8F913", state::Running,
        Firmware(L"{6C1E2B7A-4F30-4D8E-B2A9-0E5F7C3D1A64}", L"4417-2290-5561-0834-7712-9053-18",
                 L"BA01-ASSET-0001")));
    local.AddVm(Machine(L"Build Agent 02", L"8B7D1E22-5C94-4A3F-8E61-D2F09A4C7B35", state::Off,
        Firmware(L"{A93F0D15-2B6C-4E71-9D48-3C5E8B2F0A17}", L"0953-8816-2274-4409-1186-3327-50",
                 L"BA02-ASSET-0002")));
    local.AddVm(Machine(L"Domain Controller", L"C5E04B93-1A7F-4D26-B83E-7F91D0A26C48", state::Running,
        Firmware(L"{2D8B5F61-9E03-4C7A-A15D-B46E2F8C9037}", L"6620-1347-8895-0012-5538-4761-09",
                 L"DC-RACK2-U14")));
}

void AddLabMachines(Host& lab)
{
    lab.AddVm(Machine(L"Web Frontend", L"EAE43A5D-86F9-4DE2-AED2-0B2374374A0F", state::Running,
        Firmware(L"{F0B1C2D3-E4F5-4607-8819-2A3B4C5D6E7F}", L"3381-0049-7725-6613-0958-2274-61",
                 L"WEB-0117")));
    lab.AddVm(Machine(L"Database", L"17C2F9A0-3E5B-4B8D-9C04-A6D1E7F2B358", state::Running,
        Firmware(L"{5E6F7081-92A3-4B4C-8D5E-6F708192A3B4}", L"9072-5516-3348-1190-6627-0084-33",
                 L"DB-PRIMARY-02")));
    VmConfig testClient = Machine(L"Test Client", L"9D4A6E10-C2B7-4F38-8A95-1E0C3B7D6F24", state::Off,
        Firmware(L"{0A1B2C3D-4E5F-4061-9273-8495A6B7C8D9}", L"1204-7789-3356-9021-4483-6610-72",
                 L"QA-DESK-07", true));
    testClient.generation = 1;
    lab.AddVm(testClient);
    lab.AddVm(Machine(L"Archive", L"B1E8D3C7-6A24-4E91-B05F-28C7A9D4E163", state::Saved,
        Firmware(L"{C3D4E5F6-0718-4293-A4B5-C6D7E8F90A1B}", L"5548-0217-9963-3305-8814-2279-46",
                 L"ARCH-2019-11")));
    lab.AddVm(Machine(L"Staging", L"42F7A9B1-D8C3-4A60-9E2B-5C1D7F3E8A06", state::Paused,
        Firmware(L"{7E8F9A0B-1C2D-4E3F-8051-6273849506A7}", L"7736-4402-1158-8847-2290-5513-05",
                 L"STG-0003")));
    VmConfig legacy = Machine(L"Legacy App", L"6C3B0E85-F4A2-4D19-87B6-93E2D5A1C7F0", state::Running,
        Firmware(L"{1F2E3D4C-5B6A-4798-8A7B-6C5D4E3F2A1B}", L"2865-9930-6641-7702-3358-9914-27",
                 L"LEGACY-NT-01"));
    legacy.guestShutdownService = false;
    legacy.generation = 1;
    lab.AddVm(legacy);
}

// A host installed in German: its machines are captioned "Virtueller Computer".
void AddGermanLabMachines(Host& lab)
{
    lab.language = HostLanguage::German;
    lab.AddVm(Machine(L"Dateiserver", L"D3A1F07C-5B2E-4C98-A6D4-8E19B3C5F270", state::Running,
        Firmware(L"{4B7C9E21-0D3F-4A86-9B15-E2C8F6A04D93}", L"8143-6620-0975-3318-5502-7746-21",
                 L"FS-KELLER-01")));
    lab.AddVm(Machine(L"Testrechner", L"71E5C2B8-9A40-4F13-8D67-C0B4A9E3F516", state::Off,
        Firmware(L"{E9D2A4C6-7B18-4F05-A3E1-5C6B8D9F0A72}", L"3057-9914-2268-6631-0489-1173-58",
                 L"QS-PLATZ-04")));
}

// Four kiosks cloned from one template, so that they share their identity values; one was
// renumbered after a checkpoint, which keeps the values it had.
void AddKioskMachines(Host& lab)
{
    constexpr wchar_t templateGuid[] = L"{8E2C4A10-6B3D-4F58-9C71-2A4B6D8E0F13}";
    constexpr wchar_t templateSerial[] = L"6602-3319-8847-1125-9930-4471-08";
    lab.AddVm(Machine(L"Kiosk Template", L"5B0E7C12-9A34-4F61-8D27-3C4E5F607182", state::Off,
        Firmware(templateGuid, templateSerial, L"KIOSK-TEMPLATE")));
    lab.AddVm(Machine(L"Kiosk 01", L"A4C6E802-1B3D-4E5F-8071-92A3B4C5D6E7", state::Off,
        Firmware(templateGuid, templateSerial, L"KIOSK-TEMPLATE")));
    lab.AddVm(Machine(L"Kiosk 02", L"C1D2E3F4-0516-4728-9A3B-4C5D6E7F8091", state::Running,
        Firmware(templateGuid, templateSerial, L"KIOSK-02")));
    Vm& renumbered = lab.AddVm(Machine(L"Kiosk 03", L"0F1E2D3C-4B5A-4697-8877-665544332211", state::Off,
        Firmware(L"{D7E6F5A4-B3C2-4D1E-8F09-1A2B3C4D5E6F}", L"7736-4402-1158-8847-2290-5513-05",
                 L"KIOSK-03")));
    lab.AddCheckpoint(renumbered, L"Kiosk 03 - as cloned").settings =
        Firmware(templateGuid, templateSerial, L"KIOSK-TEMPLATE");
}

// A workgroup host: it lets in only its own administrator account, with the demo password.
void AddEdgeHost(Host& edge)
{
    edge.account = Host::Account{L"HV-EDGE01\\Administrator", L"Demo-Pa55word"};
    edge.AddVm(Machine(L"Edge Gateway", L"2E9C5A71-4D08-4B3F-A612-7C8E0D1F3B95", state::Running,
        Firmware(L"{9B0A1C2D-3E4F-4A5B-8C6D-7E8F9A0B1C2D}", L"5120-8834-2297-6641-0073-5518-92",
                 L"EDGE-GW-01")));
}

}

void FurnishDemoWorld(World& world)
{
    world.durations.settingsJob = 1500;
    world.durations.start = 2000;
    world.durations.turnOff = 1500;
    world.durations.save = 1500;
    world.durations.pause = 1500;
    world.durations.resume = 1500;
    world.durations.reset = 1500;
    world.durations.guestShutdown = 3000;
    AddLocalMachines(world.Local());
    AddLabMachines(world.AddHost(L"HV-LAB01"));
    world.AddHost(L"HV-LAB02");
    AddGermanLabMachines(world.AddHost(L"HV-LAB03"));
    world.AddHost(L"HV-OLD", HostKind::VirtualizationWithoutV2);
    AddKioskMachines(world.AddHost(L"HV-LAB04"));
    AddEdgeHost(world.AddHost(L"HV-EDGE01"));
}

std::unique_ptr<World> MakeDemoWorld(std::unique_ptr<Clock> clock)
{
    auto world = std::make_unique<World>(std::move(clock));
    FurnishDemoWorld(*world);
    return world;
}

}
