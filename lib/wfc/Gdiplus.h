#pragma once
// Counted start and stop of GDI+: the first start starts it, the last stop
// stops it, so independent users can share it.
namespace lib::wfc {

// True when GDI+ runs afterwards; a failed start is not counted.
bool StartupGdiplus();
void ShutdownGdiplus();

}  // namespace lib::wfc
