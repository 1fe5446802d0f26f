#include "tests/support/FakePicker.h"

#include <cstddef>
#include <cstring>
#include <memory>

#include "base/Platform.h"

namespace {

struct State {
    PickerScript script;
    PickerRecord record;
    std::string log;
    int live = 0;
    Platform saved{};
};

// The one scripted picker of the running test; the fakes find their script here.
State* state = nullptr;
std::unique_ptr<State> ownedState;

void Note(const char* event)
{
    if (!state->log.empty())
        state->log += ' ';
    state->log += event;
}

// Reference counting shared by the fakes; the final release is logged under the object's name.
template <typename Interface>
class Counted : public Interface {
public:
    explicit Counted(const char* name) : name_(name) { ++state->live; }
    virtual ~Counted() = default;

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) {
            Note(name_);
            --state->live;
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    const char* name_;
    ULONG references_ = 1;
};

// Stands for the medium's owner (pUnkForRelease): frees the selection memory when released.
class MediumOwner : public Counted<IUnknown> {
public:
    explicit MediumOwner(HGLOBAL memory) : Counted("~medium"), memory_(memory) {}
    ~MediumOwner() override { GlobalFree(memory_); }

private:
    HGLOBAL memory_;
};

HGLOBAL MakeSelection(const SelectionScript& script)
{
    if (!script.lockable)
        return GlobalAlloc(GMEM_MOVEABLE, 0);  // discarded at once: GlobalLock gives null
    const size_t header = offsetof(DS_SELECTION_LIST, aDsSelection);
    if (script.truncated) {
        HGLOBAL memory = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(ULONG));
        *static_cast<ULONG*>(GlobalLock(memory)) = 1;
        GlobalUnlock(memory);
        return memory;
    }
    const size_t items = script.names.size();
    size_t size = header + (items ? items : 1) * sizeof(DS_SELECTION);
    for (const auto& name : script.names)
        size += name ? (name->size() + 1) * sizeof(wchar_t) : 0;
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    auto* bytes = static_cast<BYTE*>(GlobalLock(memory));
    auto* list = reinterpret_cast<DS_SELECTION_LIST*>(bytes);
    list->cItems = static_cast<ULONG>(items);
    auto* text = reinterpret_cast<wchar_t*>(bytes + header + (items ? items : 1) * sizeof(DS_SELECTION));
    for (size_t index = 0; index < items; ++index) {
        if (!script.names[index])
            continue;
        std::memcpy(text, script.names[index]->c_str(), (script.names[index]->size() + 1) * sizeof(wchar_t));
        list->aDsSelection[index].pwzName = text;
        text += script.names[index]->size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class FakeDataObject : public Counted<IDataObject> {
public:
    FakeDataObject() : Counted("~data") {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* request, STGMEDIUM* medium) override
    {
        Note("getdata");
        state->record.request = *request;
        state->record.mediumOnEntry = *medium;
        const PickerScript& script = state->script;
        if (FAILED(script.getData) && !script.fillsOnFailure)
            return script.getData;
        medium->tymed = script.tymed;
        medium->hGlobal = script.tymed == TYMED_HGLOBAL ? MakeSelection(script.selection) : nullptr;
        // The owner is released instead of freeing the memory, so the test sees the release.
        medium->pUnkForRelease = new MediumOwner(medium->hGlobal);
        return script.getData;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

class FakeObjectPicker : public Counted<IDsObjectPicker> {
public:
    FakeObjectPicker() : Counted("~picker") {}

    HRESULT STDMETHODCALLTYPE Initialize(PDSOP_INIT_INFO init) override
    {
        Note("initialize");
        state->record.init = *init;
        state->record.scopes.assign(init->aDsScopeInfos, init->aDsScopeInfos + init->cDsScopeInfos);
        return state->script.initialize;
    }
    HRESULT STDMETHODCALLTYPE InvokeDialog(HWND parent, IDataObject** selection) override
    {
        Note("invoke");
        state->record.dialogParent = parent;
        *selection = state->script.returnsData ? new FakeDataObject : nullptr;
        return state->script.invoke;
    }
};

HRESULT FakeCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID interfaceId,
                           void** object)
{
    Note("create");
    state->record.classId = classId;
    state->record.outer = outer;
    state->record.context = context;
    state->record.interfaceId = interfaceId;
    if (FAILED(state->script.create)) {
        *object = nullptr;
        return state->script.create;
    }
    *object = static_cast<IDsObjectPicker*>(new FakeObjectPicker);
    return state->script.create;
}

UINT FakeRegisterClipboardFormat(const wchar_t* name)
{
    Note("register");
    if (state->script.format == 0)
        return state->record.registeredFormat = RegisterClipboardFormatW(name);
    SetLastError(state->script.registerError);
    return state->record.registeredFormat = state->script.format;
}

}

FakePickerScope::FakePickerScope(const PickerScript& script)
{
    ownedState = std::make_unique<State>(State{script, {}, {}, 0, CurrentPlatform()});
    state = ownedState.get();
    CurrentPlatform().createInstance = FakeCreateInstance;
    CurrentPlatform().registerClipboardFormat = FakeRegisterClipboardFormat;
}

FakePickerScope::~FakePickerScope()
{
    CurrentPlatform() = state->saved;
    state = nullptr;
    ownedState.reset();
}

const std::string& FakePickerScope::Log() const
{
    return state->log;
}

const PickerRecord& FakePickerScope::Record() const
{
    return state->record;
}

int FakePickerScope::Live() const
{
    return state->live;
}
