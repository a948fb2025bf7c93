#pragma once
// The guarded call through which every framework window procedure call runs:
// no exception may cross a window procedure, so one that escapes a handler is
// logged here and the message answered with 0.
#include <windows.h>

#include <exception>

namespace lib::wfc {

template <typename ExceptionType>
class CWindowPolicyBase {
public:
    using exception_type = ExceptionType;
    virtual ~CWindowPolicyBase() = default;
};

class CWindowPolicy : public CWindowPolicyBase<std::exception> {
public:
    // Runs call(); on an exception logs it, and answers 0. Processing goes on.
    template <typename Call>
    static LRESULT GuardedCall(Call&& call) noexcept {
        try {
            return call();
        } catch (const exception_type& error) {
            ReportFailure(error.what());
        } catch (...) {
            // Not one of ours, but unwinding through the system's frames would be worse.
            ReportFailure("unknown exception");
        }
        return 0;
    }

private:
    static void ReportFailure(const char* what) noexcept;
};

}  // namespace lib::wfc
