#pragma once
// The demo suite installed in the test bench's Wine prefix, as a user's
// machine would have it: the launcher, the updater and old versions of the
// sibling programs in one folder under Program Files whose name holds
// Shift-JIS trail bytes 0x5C, and the stand-in service offering newer ones.
#include <string>

namespace road {

// Components by their update flag, as the launcher names them.
constexpr int kLauncherFlag = 0x0001;
constexpr int kUpdateManagerFlag = 0x0002;
constexpr int kTitleEditorFlag = 0x0004;
constexpr int kCameraManagerFlag = 0x0008;

// Values of BUILD\demo\demo-suite.env, which the demo's build writes
// (versions, program, package and product names); throws when missing.
std::string DemoValue(const std::string& key);
// BUILD\demo\ with a trailing backslash.
std::string DemoFolder();

// "C:\Program Files\Ravelin\ソフト表示\" (or its x86 variant on 64-bit Windows).
std::string SuiteFolder();
std::string SuiteLauncherPath();
// The launcher's download folder and its log file.
std::string DownloadFolder();
std::string LauncherLogPath();
std::string UpdaterLogPath();

// Lays the suite out afresh: the demo products are removed, the folder and
// the download folder emptied, the old version of each sibling installed from
// its package unless its flag is in `absent`, the launcher and updater of
// this build copied in and Connection.info pointed at `serviceBase` (for
// example "https://localhost:PORT"). Throws std::runtime_error on failure.
void LayOutSuite(int absent, const std::string& serviceBase);

// What the stand-in service answers: the components of `offered` at their
// new version (the others at the version installed), every package served
// from the service's files folder. `faults` is the JSON value of the
// service's "faults" member ("{}" for none).
void OfferUpdates(int offered, const std::string& faults = "{}");
// A raw reply instead (for example "RET=5").
void AnswerRaw(const std::string& reply);
// Points Connection.info of the laid-out suite at `serviceBase` instead.
void PointConnectionAt(const std::string& serviceBase);

// Ends every program still running from the suite folder or the download
// folder (the updater first asked to close, then the rest terminated), so
// that no case leaves a process for the next one.
void EndSuitePrograms();

// The file version of a program as "a.b.c.d" ("" when it has none).
std::string ProgramVersion(const std::string& path);
// The Windows Installer state of the demo product of component `flag`
// (INSTALLSTATE_DEFAULT 5 installed, -1 unknown).
int ProductState(int flag);

}  // namespace road
