#pragma once

// The DPI a window is drawn at, and the sizes of windows and system parts at a DPI.

#include <windows.h>

namespace pelmora::win32 {

// Opts the process into per-monitor DPI awareness (the manifest says so too); harmless where
// the system refuses, as older Windows and Wine do.
void become_dpi_aware();

// The DPI a window is drawn at when it is made: its monitor's where Windows tells per window,
// else the screen's. Later changes come with WM_DPICHANGED.
UINT dpi_of(HWND window);

// A system metric (SM_CXSMICON, say) at that DPI.
int metric_at(int metric, UINT dpi);

// The outer size of a top-level window whose client area (below the menu bar) is as given, at
// that DPI: from Windows' frame metrics for the DPI where it has them (Windows 10 1607 on),
// else from the frame the window has now.
SIZE window_size_for(HWND window, int width, int height, UINT dpi);

// Sizes a top-level window so that its client area (below the menu bar) is exactly as given.
void set_client_size(HWND window, int width, int height, UINT dpi);

} // namespace pelmora::win32
