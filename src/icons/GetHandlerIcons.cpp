#include "icons/GetHandlerIcons.h"

#include <io.h>
#include <shlobj.h>
#include <cstdio>
#include <exception>
#include <string>
#include <wrl/client.h>

#include "icons/ComDll.h"
#include "icons/ExtractIconPair.h"
#include "settings/Registry.h"

using Microsoft::WRL::ComPtr;

namespace {

bool ParseClassId(const wchar_t* text, CLSID& clsid) {
    unsigned long data1 = 0;
    unsigned int data2 = 0, data3 = 0;
    unsigned int b[8] = {};
    const int fields = std::swscanf(text, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", &data1, &data2,
                                    &data3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]);
    if (fields != 11)
        return false;
    clsid.Data1 = data1;
    clsid.Data2 = static_cast<unsigned short>(data2);
    clsid.Data3 = static_cast<unsigned short>(data3);
    for (int i = 0; i < 8; ++i)
        clsid.Data4[i] = static_cast<unsigned char>(b[i]);
    return true;
}

// The handler behind either of its two interfaces, whichever it offers.
struct IconHandler {
    ComPtr<IExtractIconW> wide;
    ComPtr<IExtractIconA> ansi;

    IUnknown* Unknown() const { return wide ? static_cast<IUnknown*>(wide.Get()) : ansi.Get(); }
    explicit operator bool() const { return wide || ansi; }

    HRESULT GetIconLocation(std::wstring& location, int& index, UINT& flags) const {
        if (wide) {
            wchar_t buffer[MAX_PATH] = {};
            const HRESULT hr = wide->GetIconLocation(GIL_FORSHELL, buffer, MAX_PATH, &index, &flags);
            buffer[MAX_PATH - 1] = L'\0';
            location = buffer;
            return hr;
        }
        char buffer[MAX_PATH] = {};
        const HRESULT hr = ansi->GetIconLocation(GIL_FORSHELL, buffer, MAX_PATH, &index, &flags);
        buffer[MAX_PATH - 1] = '\0';
        wchar_t wideBuffer[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, buffer, -1, wideBuffer, MAX_PATH);
        wideBuffer[MAX_PATH - 1] = L'\0';
        location = wideBuffer;
        return hr;
    }

    HRESULT Extract(const std::wstring& location, int index, HICON* large, HICON* small) const {
        // Large icons 32 pixels in the low word, small ones 16 in the high word.
        const UINT sizes = MAKELONG(32, 16);
        if (wide)
            return wide->Extract(location.c_str(), index, large, small, sizes);
        char ansiLocation[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_ACP, 0, location.c_str(), -1, ansiLocation, MAX_PATH, nullptr, nullptr);
        ansiLocation[MAX_PATH - 1] = '\0';
        return ansi->Extract(ansiLocation, index, large, small, sizes);
    }
};

bool CreateWithCom(const CLSID& clsid, IconHandler& handler) {
    const DWORD context = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
    if (SUCCEEDED(::CoCreateInstance(clsid, nullptr, context, IID_IExtractIconW,
                                     reinterpret_cast<void**>(handler.wide.GetAddressOf()))) &&
        handler.wide)
        return true;
    handler.wide.Reset();
    if (SUCCEEDED(::CoCreateInstance(clsid, nullptr, context, IID_IExtractIconA,
                                     reinterpret_cast<void**>(handler.ansi.GetAddressOf()))) &&
        handler.ansi)
        return true;
    handler.ansi.Reset();
    return false;
}

// Some handlers only load from their own folder (they find their own libraries by bare name):
// COM cannot create those, so the server named under InProcServer32 is loaded here instead.
bool CreateByHand(const wchar_t* clsidText, const CLSID& clsid, ComDll& server, IconHandler& handler) {
    Registry key;
    std::wstring serverPath;
    const std::wstring subKey = L"CLSID\\" + std::wstring(clsidText) + L"\\InProcServer32";
    if (!key.Open(HKEY_CLASSES_ROOT, subKey.c_str(), Registry::kRead, false) || !key.GetString(L"", serverPath))
        return false;
    key.Close();
    if (!server.Load(serverPath.c_str()))
        return false;
    if (SUCCEEDED(server.CreateInstance(clsid, IID_IExtractIconW, reinterpret_cast<void**>(handler.wide.GetAddressOf()))) &&
        handler.wide)
        return true;
    handler.wide.Reset();
    if (SUCCEEDED(server.CreateInstance(clsid, IID_IExtractIconA, reinterpret_cast<void**>(handler.ansi.GetAddressOf()))) &&
        handler.ansi)
        return true;
    handler.ansi.Reset();
    return false;
}

// Asks the handler for the file's icons. Any failure of the handler answers its HRESULT, and
// the caller then treats the type as uncacheable.
HRESULT AskHandler(const IconHandler& handler, const wchar_t* path, WantedIcons wanted, IconLookup& answer) {
    ComPtr<IPersistFile> persistFile;
    if (FAILED(handler.Unknown()->QueryInterface(IID_IPersistFile,
                                                 reinterpret_cast<void**>(persistFile.GetAddressOf()))) ||
        !persistFile)
        return E_FAIL;
    if (FAILED(persistFile->Load(path, 0)))
        return E_FAIL;

    std::wstring location;
    int index = 0;
    UINT flags = 0;
    const HRESULT located = handler.GetIconLocation(location, index, flags);
    if (FAILED(located))
        return located;
    if (location.empty())
        return S_OK;

    answer.flags = flags;
    answer.result = (flags & (GIL_PERINSTANCE | GIL_DONTCACHE)) ? IconLookupResult::PerFile : IconLookupResult::ForType;
    if (::_waccess(path, 0) != 0)
        return S_OK;

    if (flags & GIL_NOTFILENAME) {
        HICON small = nullptr;
        HICON large = nullptr;
        const HRESULT extracted = handler.Extract(location, index, Wants(wanted, WantedIcons::Large) ? &large : nullptr,
                                                  Wants(wanted, WantedIcons::Small) ? &small : nullptr);
        // Whatever came back is ours, even from a failing call, and is destroyed if unused.
        answer.small.reset(small);
        answer.large.reset(large);
        if (FAILED(extracted)) {
            answer.small.reset();
            answer.large.reset();
            return extracted;
        }
        return S_OK;
    }

    // The location's index always names an icon resource id here, whatever its sign.
    const int resourceIndex = index < 0 ? index : -index;
    if (ExtractIconPair(location.c_str(), resourceIndex, wanted, answer.small, answer.large) == 0)
        return E_FAIL;
    return S_OK;
}

IconLookup AskHandlerClass(const wchar_t* clsidText, const wchar_t* path, WantedIcons wanted) {
    CLSID clsid = {};
    if (!clsidText || !path || !ParseClassId(clsidText, clsid))
        return IconLookup();

    // Declared first so that it outlives every interface of the handler it serves.
    ComDll server;
    IconHandler handler;
    if (!CreateWithCom(clsid, handler) && !CreateByHand(clsidText, clsid, server, handler))
        return IconLookup();

    IconLookup answer;
    if (FAILED(AskHandler(handler, path, wanted, answer))) {
        IconLookup failed;
        failed.flags = GIL_DONTCACHE;
        return failed;
    }
    return answer;
}

}  // namespace

IconLookup GetHandlerIcons(const wchar_t* clsidText, const wchar_t* path, WantedIcons wanted) noexcept {
    try {
        return AskHandlerClass(clsidText, path, wanted);
    } catch (const std::exception&) {
        return IconLookup();
    }
}
