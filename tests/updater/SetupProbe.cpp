// Stands in for the launcher's setup program: appends its command line to
// "commandline.txt" beside itself, then signals "RavelinSetupProbeRan".
#include <windows.h>

#include <string>

#include "lib/UniqueHandle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH * 2] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string output(path);
    output = output.substr(0, output.find_last_of('\\') + 1) + "commandline.txt";
    const std::string line = std::string(::GetCommandLineA()) + "\r\n";
    {
        lib::FileHandle file(::CreateFileA(output.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return 1;
        DWORD written = 0;
        ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    lib::KernelHandle ran(::OpenEventA(EVENT_MODIFY_STATE, FALSE, "RavelinSetupProbeRan"));
    if (ran) ::SetEvent(ran.get());
    return 0;
}
