#pragma once
// The program's start procedure. The rest of the GlobalUI module lives where every screen
// reaches it: the session state (session/session.h), error reporting (errors/errors.h),
// combo filling (forms/combos.h) and file reading (session/textfile.h).
#include <QPointer>

#include "errors/errors.h"
#include "forms/combos.h"
#include "session/session.h"
#include "session/textfile.h"

namespace velmora {
class frmMain;
}

namespace GlobalUI {

// The main window, made and released by the start-up.
QPointer<velmora::frmMain>& gfrmMain();

// Releases the list cache, then disconnects and releases the connection (the main
// window's unload).
void ReleaseCacheAndConnection();

// Releases everything the session holds and starts it afresh (the main window's unload
// releases the cache and the connection; tests start each run from here), the error box
// of window-event errors included.
void resetSession();

// Logs in, reads the configuration, connects, loads the configured county and hospital,
// builds the list cache and shows the main window. On any failure it reports through
// ShowError and returns with no window shown.
void Main();

// What Main does after an accepted login: reads the configuration, connects, loads the
// configured county and hospital, builds the list cache and shows the main window. Raises.
void OpenSession();

// Reads the eight keys of Init.xml in the program's folder into the session.
void ReadInit();

}  // namespace GlobalUI
