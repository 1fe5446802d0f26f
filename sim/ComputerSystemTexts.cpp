#include "sim/ComputerSystemTexts.h"

namespace sim {

const ComputerSystemTexts& ComputerSystemTextsIn(HostLanguage language)
{
    static const ComputerSystemTexts english{
        L"Virtual Machine", L"Microsoft Virtual Machine",
        L"Hosting Computer System", L"Microsoft Hosting Computer System"};
    static const ComputerSystemTexts german{
        L"Virtueller Computer", L"Virtueller Microsoft-Computer",
        L"Hostcomputersystem", L"Microsoft-Hostcomputersystem"};
    static const ComputerSystemTexts french{
        L"Ordinateur virtuel", L"Ordinateur virtuel Microsoft",
        L"Syst\u00E8me informatique h\u00F4te", L"Syst\u00E8me informatique h\u00F4te Microsoft"};
    static const ComputerSystemTexts swedish{
        L"Virtuell dator", L"Virtuell Microsoft-dator",
        L"V\u00E4rddatorsystem", L"Microsoft-v\u00E4rddatorsystem"};
    switch (language) {
    case HostLanguage::German: return german;
    case HostLanguage::French: return french;
    case HostLanguage::Swedish: return swedish;
    case HostLanguage::English: break;
    }
    return english;
}

}
