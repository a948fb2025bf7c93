#pragma once
// Starts the suite's other programs by a small key. The programs live in the
// launcher's own folder, except BeatJam, whose folder its own setup writes to
// the registry. Nothing is kept between starts; callers make one on the stack.
#include <windows.h>

class RunAPPMgr {
public:
    // Keys of the programs (appTable).
    enum Key : int {
        kVantorManager = 0,
        kMsvTitleEditor = 1,
        kUpdateManager = 2,
        kRivoziverodAdazivu = 3,
        kLauncherFolder = 4,  // no program file: the folder itself
        kUpdater = 5,
        kBeatJam = 6,
    };

    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

    // Puts `function` in the place of ShellExecuteW for the whole process and
    // returns the one it replaces, so that tests can see starts without starting anything.
    static ShellExecuteFunction ReplaceShellExecute(ShellExecuteFunction function);

    // True when the program of `key` was started with `parameters` in
    // `folder` (either may be null). A missing program is false without a
    // record; a failed start and an unknown key are logged.
    bool StartApplication(int key, const wchar_t* parameters, const wchar_t* folder, int show);

    // BeatJam 5 from the folder in its SetupPath setting, shown normally.
    bool StartBeatJam();
};
