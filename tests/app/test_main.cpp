// The program's tests run on real widgets of the offscreen platform, with the class
// libraries registered in a registry of their own.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "../support/temp_folder.h"
#include "com/server.h"
#include "forms/keyboard.h"
#include "shell/globalui.h"
#include "shell/singleinstance.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const test::TempFolder runtime("velmora-app-tests");
    setenv("VELMORA_REGISTRY", (runtime / "registry").c_str(), 1);
    setenv("VELMORA_LOCK_FILE", (runtime / "velmora.lock").c_str(), 1);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    velmora::installWindowsKeyboard(application);
    for (const char* library : {VELMORA_BUSINESS_LIB, VELMORA_QUILLON_LIB}) com::registerLibrary(library);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    GlobalUI::resetSession();
    velmora::SingleInstance::release();
    return result;
}
