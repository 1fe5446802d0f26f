#include "ui/IdentityImport.h"

#include <algorithm>
#include <new>
#include <optional>
#include <unordered_map>

#include "base/Unique.h"
#include "hosts/HostNameKey.h"
#include "mgmt/ManagementText.h"
#include "ui/CsvDecoding.h"
#include "ui/CsvProtection.h"
#include "ui/CsvReader.h"
#include "ui/IdentityColumns.h"
#include "ui/ImportValues.h"

namespace {

constexpr IdentityColumn allColumns[] = {
    IdentityColumn::Host,          IdentityColumn::Name,
    IdentityColumn::VmId,          IdentityColumn::State,
    IdentityColumn::Generation,    IdentityColumn::BiosGuid,
    IdentityColumn::BiosSerialNumber, IdentityColumn::BaseBoardSerialNumber,
    IdentityColumn::ChassisSerialNumber, IdentityColumn::ChassisAssetTag,
    IdentityColumn::NumLock,       IdentityColumn::SharedWith,
};

constexpr DWORD chunkSize = 64 * 1024;

bool Fail(ImportFailure& failure, size_t line, std::wstring text, DWORD error = ERROR_SUCCESS)
{
    failure.line = line;
    failure.text = std::move(text);
    failure.error = error;
    return false;
}

bool FailTooLarge(ImportFailure& failure)
{
    return Fail(failure, 0, L"is larger than 10 MB; an identities file is read only up to that size.");
}

std::optional<IdentityColumn> ColumnTitled(std::wstring_view title)
{
    for (IdentityColumn column : allColumns)
        if (SameIgnoringCase(title, ColumnTitle(column)))
            return column;
    return std::nullopt;
}

bool IsValueColumn(IdentityColumn column)
{
    switch (column) {
    case IdentityColumn::BiosGuid:
    case IdentityColumn::BiosSerialNumber:
    case IdentityColumn::BaseBoardSerialNumber:
    case IdentityColumn::ChassisSerialNumber:
    case IdentityColumn::ChassisAssetTag:
    case IdentityColumn::NumLock:
        return true;
    default:
        return false;
    }
}

bool HoldsValue(const IdentityChange& change)
{
    return change.numLock || change.biosGuid || change.biosSerialNumber ||
           change.baseBoardSerialNumber || change.chassisSerialNumber || change.chassisAssetTag;
}

// A VM ID with its braces off and its letters in upper case, as machines are looked up by.
std::wstring VmIdKey(std::wstring_view id)
{
    if (id.size() >= 2 && id.front() == L'{' && id.back() == L'}')
        id = id.substr(1, id.size() - 2);
    std::wstring key(id);
    for (wchar_t& c : key)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return key;
}

// No host name holds U+0000, so the key of one host and name is the key of no other.
std::wstring HostAndNameKey(const std::wstring& hostKey, std::wstring_view name)
{
    return hostKey + L'\0' + std::wstring(name);
}

std::wstring MachineWords(const VmIdentity& machine)
{
    return QuotedValue(machine.name) + L" on " + machine.host;
}

// One pass over the file's records: the header, then each line matched to its machine and its
// values checked, the changes gathered as it goes.
class ImportParser {
public:
    explicit ImportParser(const std::vector<const VmIdentity*>& machines);

    [[nodiscard]] bool ReadHeader(const CsvRecord& record, ImportFailure& failure);
    [[nodiscard]] bool ReadLine(const CsvRecord& record, ImportFailure& failure);
    std::vector<ImportedChange>& Changes() { return changes_; }

private:
    [[nodiscard]] bool FindMachine(const CsvRecord& record, size_t& row, ImportFailure& failure) const;

    const std::vector<const VmIdentity*>& machines_;
    std::vector<std::wstring> hostKeys_;
    std::unordered_multimap<std::wstring, size_t> byVmId_;
    std::unordered_multimap<std::wstring, size_t> byHostAndName_;
    // The line that named each machine, 0 while none has.
    std::vector<size_t> namedOnLine_;
    std::vector<IdentityColumn> columns_;
    std::optional<size_t> host_;
    std::optional<size_t> name_;
    std::optional<size_t> vmId_;
    std::vector<ImportedChange> changes_;
};

ImportParser::ImportParser(const std::vector<const VmIdentity*>& machines)
    : machines_(machines), namedOnLine_(machines.size(), 0)
{
    hostKeys_.reserve(machines.size());
    byVmId_.reserve(machines.size());
    byHostAndName_.reserve(machines.size());
    for (size_t row = 0; row < machines.size(); ++row) {
        hostKeys_.push_back(HostNameKey(machines[row]->host));
        byVmId_.emplace(VmIdKey(machines[row]->vmId), row);
        byHostAndName_.emplace(HostAndNameKey(hostKeys_.back(), machines[row]->name), row);
    }
}

bool ImportParser::ReadHeader(const CsvRecord& record, ImportFailure& failure)
{
    for (size_t position = 0; position < record.fields.size(); ++position) {
        const std::wstring& title = record.fields[position];
        if (title.empty())
            return Fail(failure, record.line, L"has a column without a title.");
        const std::optional<IdentityColumn> column = ColumnTitled(title);
        if (!column)
            return Fail(failure, record.line,
                        L"has the column " + QuotedValue(title) +
                            L", which is not one of the identities' columns.");
        for (IdentityColumn earlier : columns_)
            if (earlier == *column)
                return Fail(failure, record.line, L"has the column " + QuotedValue(title) + L" twice.");
        columns_.push_back(*column);
        if (*column == IdentityColumn::Host)
            host_ = position;
        else if (*column == IdentityColumn::Name)
            name_ = position;
        else if (*column == IdentityColumn::VmId)
            vmId_ = position;
    }
    if (!vmId_ && !(host_ && name_))
        return Fail(failure, record.line,
                    L"has neither a \"VM ID\" column nor both \"Host\" and \"Name\", so no line "
                    L"could name its virtual machine.");
    return true;
}

bool ImportParser::FindMachine(const CsvRecord& record, size_t& row, ImportFailure& failure) const
{
    const auto field = [&record](std::optional<size_t> position) {
        return position ? Unprotected(record.fields[*position]) : std::wstring_view();
    };
    const std::wstring_view vmId = field(vmId_);
    const std::wstring_view host = field(host_);
    size_t count = 0;
    std::wstring named;
    std::wstring hint;
    if (!vmId.empty()) {
        // Copies of a machine imported onto other hosts keep its VM ID.
        const std::wstring hostKey = host_ ? HostNameKey(host) : std::wstring();
        const auto [first, last] = byVmId_.equal_range(VmIdKey(vmId));
        for (auto match = first; match != last; ++match) {
            if (!host_ || hostKeys_[match->second] == hostKey) {
                row = match->second;
                ++count;
            }
        }
        named = L"with the VM ID " + QuotedValue(vmId) + (host_ ? L" on " + std::wstring(host) : L"");
        hint = host_ ? L"" : L" A \"Host\" column tells them apart.";
    } else if (host_ && name_) {
        const std::wstring_view name = field(name_);
        const auto [first, last] = byHostAndName_.equal_range(HostAndNameKey(HostNameKey(host), name));
        for (auto match = first; match != last; ++match) {
            row = match->second;
            ++count;
        }
        named = QuotedValue(name) + L" on " + std::wstring(host);
        hint = vmId_ ? L" Its VM ID tells them apart." : L" A \"VM ID\" column tells them apart.";
    } else {
        return Fail(failure, record.line,
                    L"gives no VM ID, and the file has no \"Host\" and \"Name\" columns to name "
                    L"its virtual machine by.");
    }
    if (count == 0)
        return Fail(failure, record.line,
                    L"names the virtual machine " + named + L", which is not among those shown.");
    if (count > 1)
        return Fail(failure, record.line,
                    L"names " + std::to_wstring(count) + L" of the virtual machines shown, " +
                        named + L"." + hint);
    if (namedOnLine_[row] != 0)
        return Fail(failure, record.line,
                    L"names the virtual machine " + MachineWords(*machines_[row]) +
                        L", which line " + std::to_wstring(namedOnLine_[row]) + L" names already.");
    return true;
}

bool ImportParser::ReadLine(const CsvRecord& record, ImportFailure& failure)
{
    if (record.fields.size() != columns_.size())
        return Fail(failure, record.line,
                    L"has " + std::to_wstring(record.fields.size()) +
                        (record.fields.size() == 1 ? L" field" : L" fields") +
                        L" where the header has " + std::to_wstring(columns_.size()) + L".");
    size_t row = 0;
    if (!FindMachine(record, row, failure))
        return false;
    namedOnLine_[row] = record.line;
    IdentityChange change;
    std::wstring fault;
    for (size_t position = 0; position < columns_.size(); ++position) {
        const std::wstring_view value = Unprotected(record.fields[position]);
        if (!IsValueColumn(columns_[position]) || value.empty())
            continue;
        if (!TakeValue(columns_[position], value, *machines_[row], change, fault))
            return Fail(failure, record.line, std::move(fault));
    }
    if (HoldsValue(change))
        changes_.push_back({row, std::move(change)});
    return true;
}

bool Parse(std::string_view bytes, const std::vector<const VmIdentity*>& machines,
           std::vector<ImportedChange>& changes, ImportFailure& failure)
{
    if (bytes.size() > largestImportFile)
        return FailTooLarge(failure);
    std::wstring text;
    ImportFailure notText;
    const bool decoded = DecodeCsvText(bytes, text, notText);
    // Records before a fault in the text are read first: the failure names the first bad line.
    CsvReader reader(text, decoded);
    CsvRecord record;
    ImportParser parser(machines);
    CsvReader::Step step = reader.Next(record, failure);
    if (step == CsvReader::Step::Fault)
        return false;
    if (step == CsvReader::Step::End)
        return decoded ? Fail(failure, 0, L"is empty: it does not even hold the header line.")
                       : Fail(failure, notText.line, std::move(notText.text));
    if (!parser.ReadHeader(record, failure))
        return false;
    while ((step = reader.Next(record, failure)) == CsvReader::Step::Record)
        if (!parser.ReadLine(record, failure))
            return false;
    if (step == CsvReader::Step::Fault)
        return false;
    if (!decoded)
        return Fail(failure, notText.line, std::move(notText.text));
    changes = std::move(parser.Changes());
    return true;
}

// Reads the whole file, refusing it unread when it is larger than any identities file.
bool ReadImportFile(const std::wstring& path, std::string& bytes, ImportFailure& failure)
{
    // Shared for writing too: a spreadsheet program that has the file open keeps it so.
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return Fail(failure, 0, L"could not be opened.", GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return Fail(failure, 0, L"could not be read.", GetLastError());
    if (size.QuadPart > static_cast<LONGLONG>(largestImportFile))
        return FailTooLarge(failure);
    // One byte beyond the size: a file that grew meanwhile is still caught at the limit.
    bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > largestImportFile)
                return FailTooLarge(failure);
            bytes.resize(std::min(bytes.size() + chunkSize, largestImportFile + 1));
        }
        const auto wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - filled, chunkSize));
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + filled, wanted, &read, nullptr))
            return Fail(failure, 0, L"could not be read.", GetLastError());
        if (read == 0)
            break;
        filled += read;
    }
    bytes.resize(filled);
    return true;
}

bool FailForMemory(std::vector<ImportedChange>& changes, ImportFailure& failure) noexcept
{
    changes.clear();
    failure.line = 0;
    failure.text.clear();
    failure.error = ERROR_NOT_ENOUGH_MEMORY;
    return false;
}

}

bool ParseIdentityImport(std::string_view bytes, const std::vector<const VmIdentity*>& machines,
                         std::vector<ImportedChange>& changes, ImportFailure& failure)
{
    changes.clear();
    try {
        return Parse(bytes, machines, changes, failure);
    } catch (const std::bad_alloc&) {
        return FailForMemory(changes, failure);
    }
}

bool ImportIdentityFile(const std::wstring& path, const std::vector<const VmIdentity*>& machines,
                        std::vector<ImportedChange>& changes, ImportFailure& failure)
{
    changes.clear();
    try {
        std::string bytes;
        return ReadImportFile(path, bytes, failure) && Parse(bytes, machines, changes, failure);
    } catch (const std::bad_alloc&) {
        return FailForMemory(changes, failure);
    }
}

std::wstring ImportFailureText(const std::wstring& path, const ImportFailure& failure)
{
    std::wstring text = L"The file " + path + L" was not imported: ";
    if (failure.line != 0)
        text += L"line " + std::to_wstring(failure.line) + L" " + failure.text;
    else
        text += L"it " + (failure.text.empty() ? std::wstring(L"could not be read.") : failure.text);
    text += L" Nothing was changed.";
    if (failure.error != ERROR_SUCCESS)
        text += L"\r\nWindows error: " + SystemErrorText(failure.error);
    return text;
}
