#include "DdeServer.h"
#include <ddeml.h>

namespace {

// DDEML calls back without a context: the one server of the process keeps its command here,
// written before the event is set and read after it.
std::wstring g_command;
HANDLE g_executed = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);

HDDEDATA CALLBACK DdeCallback(UINT type, UINT, HCONV, HSZ, HSZ, HDDEDATA data, ULONG_PTR, ULONG_PTR) noexcept {
    if (type == XTYP_CONNECT)
        return reinterpret_cast<HDDEDATA>(TRUE);
    if (type != XTYP_EXECUTE || ::WaitForSingleObject(g_executed, 0) == WAIT_OBJECT_0)
        return nullptr;
    std::wstring command(::DdeGetData(data, nullptr, 0, 0) / sizeof(wchar_t) + 1, L'\0');
    ::DdeGetData(data, reinterpret_cast<BYTE*>(command.data()), DWORD(command.size() * sizeof(wchar_t)), 0);
    g_command = command.c_str();
    ::SetEvent(g_executed);
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

} // namespace

DdeServer::DdeServer(const wchar_t* service) : m_thread([this, service] { Run(service); }) {
    ::ResetEvent(g_executed);
    ::WaitForSingleObject(m_started.get(), 10000);
}

DdeServer::~DdeServer() {
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    m_thread.join();
}

std::wstring DdeServer::WaitForCommand(DWORD timeoutMs) const {
    return ::WaitForSingleObject(g_executed, timeoutMs) == WAIT_OBJECT_0 ? g_command : std::wstring();
}

void DdeServer::Run(const wchar_t* serviceName) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before WM_QUIT is posted
    m_threadId = ::GetCurrentThreadId();
    DWORD instance = 0;
    ::DdeInitializeW(&instance, DdeCallback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0);
    HSZ service = ::DdeCreateStringHandleW(instance, serviceName, CP_WINUNICODE);
    m_ready = service && ::DdeNameService(instance, service, nullptr, DNS_REGISTER);
    ::SetEvent(m_started.get());
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    ::DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
    ::DdeFreeStringHandle(instance, service);
    ::DdeUninitialize(instance);
}
