#include "DdeServer.h"

#include <ddeml.h>

#include <mutex>

namespace {

// DDEML calls back without a context: the one server of the process keeps its state here.
std::mutex g_lock;
std::wstring g_command;
HANDLE g_executed = nullptr;
DWORD g_instance = 0;

HDDEDATA CALLBACK DdeCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) noexcept {
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(TRUE);
    case XTYP_EXECUTE: {
        const DWORD bytes = ::DdeGetData(data, nullptr, 0, 0);
        std::wstring command(bytes / sizeof(wchar_t) + 1, L'\0');
        ::DdeGetData(data, reinterpret_cast<BYTE*>(command.data()), bytes, 0);
        command.resize(wcslen(command.c_str()));
        {
            std::lock_guard<std::mutex> guard(g_lock);
            if (g_command.empty()) g_command = command;
        }
        ::SetEvent(g_executed);
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    default:
        return nullptr;
    }
}

}  // namespace

DdeServer::DdeServer(std::wstring service) : m_service(std::move(service)) {
    g_executed = m_executed.get();
    m_thread = std::thread([this] { Run(); });
    ::WaitForSingleObject(m_started.get(), 10000);
}

DdeServer::~DdeServer() {
    if (m_threadId) ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    if (m_thread.joinable()) m_thread.join();
    g_executed = nullptr;
    std::lock_guard<std::mutex> guard(g_lock);
    g_command.clear();
}

bool DdeServer::WaitForCommand(DWORD timeoutMs, std::wstring& command) const {
    if (::WaitForSingleObject(m_executed.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    std::lock_guard<std::mutex> guard(g_lock);
    command = g_command;
    return true;
}

void DdeServer::Run() {
    MSG msg;
    // The thread's message queue exists before anyone posts WM_QUIT to it.
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    m_threadId = ::GetCurrentThreadId();
    DWORD instance = 0;
    HSZ service = nullptr;
    if (::DdeInitializeW(&instance, DdeCallback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS,
                         0) == DMLERR_NO_ERROR) {
        g_instance = instance;
        service = ::DdeCreateStringHandleW(instance, m_service.c_str(), CP_WINUNICODE);
        m_ready = service && ::DdeNameService(instance, service, nullptr, DNS_REGISTER);
    }
    ::SetEvent(m_started.get());
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (instance) {
        if (service) {
            ::DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
            ::DdeFreeStringHandle(instance, service);
        }
        ::DdeUninitialize(instance);
    }
}
