// Binds a dialog template to a C++ object: the object is attached at WM_INITDIALOG, receives
// every later message through ProcessWindowMessage, and is detached at WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <exception>

#include "app/AppModule.h"

template <typename T>
class CDialogImpl {
public:
    HWND m_hWnd = nullptr;

    // A modeless dialog from T::IDD; null when the window cannot be created.
    HWND Create(HWND parent)
    {
        return CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent,
                                  GetDialogProc(), reinterpret_cast<LPARAM>(this));
    }

    INT_PTR DoModal(HWND owner)
    {
        return DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(T::IDD), owner,
                               GetDialogProc(), reinterpret_cast<LPARAM>(this));
    }

    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    // True when the message was handled; result is then the handler's answer.
    virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
    virtual ~CDialogImpl() = default;
    virtual DLGPROC GetDialogProc() { return DialogProc; }
    virtual void OnFinalMessage(HWND) {}

private:
    static HINSTANCE ResourceInstance()
    {
        CAppModule* module = ProcessModule();
        return module ? module->GetResourceInstance() : GetModuleHandleW(nullptr);
    }

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            reinterpret_cast<CDialogImpl*>(lParam)->m_hWnd = window;
        }
        auto* self = reinterpret_cast<CDialogImpl*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self)
            return FALSE;
        LRESULT result = 0;
        bool handled = false;
        // No exception may unwind through the system's frames: a handler that runs out of
        // memory drops its operation, and the message gets the default processing.
        try {
            handled = self->ProcessWindowMessage(window, message, wParam, lParam, result);
        } catch (const std::exception&) {
            handled = false;
            result = 0;
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            self->OnFinalMessage(window);
        }
        if (!handled)
            return FALSE;
        // WM_INITDIALOG and the WM_CTLCOLOR* family answer through the return value itself.
        if (message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC))
            return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
};
