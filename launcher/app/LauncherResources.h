#pragma once
// Resource ids of Ravelin_Launcher.
#define IDI_RAVELIN_LAUNCHER 107
#define IDI_RAVELIN_LAUNCHER_SMALL 108
