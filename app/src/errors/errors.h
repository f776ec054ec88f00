#pragma once
// How the program reports an error it trapped: one critical box, whatever screen it
// happened on.
#include <cstdint>
#include <functional>
#include <string>

#include "com/error.h"

namespace GlobalUI {

// One critical box titled "ATENTIE!" with the error's number, description, module and
// procedure. Never ends the program.
void ShowError(int32_t number, const std::string& description, const std::string& procedure, const std::string& module);

// Shows an error that the object layer reports from inside a window event (a control's
// failure no caller receives) as ShowError shows a trapped one: the error's source gives
// the module and the procedure ("MyGrid-LostFocus(ctlControl)": module MyGrid, procedure
// LostFocus(ctlControl)). Main installs it before anything else runs.
void ShowWindowEventError(const com::Error& error);

// Runs `body`; a failure it raises is reported once through ShowError with the labels given.
// Returns false when it failed. No error ever reaches the Qt event loop through here.
bool Trapped(const std::string& module, const std::string& procedure, const std::function<void()>& body);

}  // namespace GlobalUI
