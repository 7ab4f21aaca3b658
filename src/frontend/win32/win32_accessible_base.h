#pragma once

// What the accessible objects of Korvane's controls share (the files that make them only).
#include "platform/win32/win32_text.h"

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <type_traits>

namespace korvane::win32front {

// oleacc.dll is no known DLL: loaded at run time from the system folder only, never from beside
// korvane.exe, as pdh.dll is.
struct Oleacc {
    decltype(&::AccessibleObjectFromWindow) objectFromWindow = nullptr;
    decltype(&::CreateStdAccessibleObject) standardObject = nullptr;
    decltype(&::LresultFromObject) resultFromObject = nullptr;

    static const Oleacc& Get()
    {
        static const Oleacc calls = [] {
            Oleacc loaded;
            if (const HMODULE module = ::LoadLibraryExW(L"oleacc.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
                const auto find = [module](auto& function, const char* name) {
                    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                        reinterpret_cast<void*>(::GetProcAddress(module, name)));
                };
                find(loaded.objectFromWindow, "AccessibleObjectFromWindow");
                find(loaded.standardObject, "CreateStdAccessibleObject");
                find(loaded.resultFromObject, "LresultFromObject");
            }
            return loaded;
        }();
        return calls;
    }
};

// No text: S_FALSE and a null string.
inline HRESULT Nothing(BSTR* text)
{
    if (text != nullptr)
        *text = nullptr;
    return S_FALSE;
}

inline HRESULT Text(const std::string& text, BSTR* out)
{
    if (out == nullptr)
        return E_INVALIDARG;
    const std::wstring wide = platform::win32::Widen(text);
    *out = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// IUnknown and IDispatch for an IAccessible without a type library.
class AccessibleBase : public IAccessible {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (::IsEqualIID(id, IID_IUnknown) || ::IsEqualIID(id, IID_IDispatch) || ::IsEqualIID(id, IID_IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = ::InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count != nullptr)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

protected:
    virtual ~AccessibleBase() = default;

private:
    LONG m_references = 1;
};

// The list of a list box's model rows (see AnswerGetObject); one reference, the caller's.
IAccessible* NewListAccessible(HWND window);

} // namespace korvane::win32front
