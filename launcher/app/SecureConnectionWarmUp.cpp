#include "launcher/app/SecureConnectionWarmUp.h"

#include <process.h>
#include <wincrypt.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

namespace launcher {
namespace {

// The thread timer's callback has no context of its own.
CSecureConnectionWarmUp* waiting = nullptr;

}  // namespace

CSecureConnectionWarmUp::CSecureConnectionWarmUp() {
    // Timer messages come only when no input, posted message or painting is
    // waiting: the notice is drawn by then.
    waiting = this;
    timer_ = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &OnIdle);
}

CSecureConnectionWarmUp::~CSecureConnectionWarmUp() {
    if (timer_) ::KillTimer(nullptr, timer_);
    waiting = nullptr;
    if (thread_) ::WaitForSingleObject(thread_.get(), kEndBound);
}

void CALLBACK CSecureConnectionWarmUp::OnIdle(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    CSecureConnectionWarmUp* self = waiting;
    waiting = nullptr;
    if (!self || self->thread_) return;
    self->timer_ = 0;
    self->thread_.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &Load, nullptr, 0, nullptr)));
}

unsigned __stdcall CSecureConnectionWarmUp::Load(void*) {
    // Nothing here throws; a failure only means the first request loads it itself.
    if (const HCERTSTORE roots = ::CertOpenSystemStoreA(0, "ROOT")) ::CertCloseStore(roots, 0);
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    CredHandle credentials{};
    TimeStamp expiry{};
    wchar_t provider[] = UNISP_NAME_W;
    if (::AcquireCredentialsHandleW(nullptr, provider, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr, nullptr,
                                    &credentials, &expiry) == SEC_E_OK) {
        ::FreeCredentialsHandle(&credentials);
    }
    return 0;
}

}  // namespace launcher
