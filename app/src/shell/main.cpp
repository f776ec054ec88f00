// The program velmora: starts through GlobalUI::Main and then lives in the main window.
#include <QApplication>

#include "forms/keyboard.h"
#include "shell/globalui.h"
#include "shell/frmmain.h"
#include "shell/qttexts.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setWindowIcon(velmora::frmMain::programIcon());
    velmora::installWindowsKeyboard(application);
    velmora::QtTexts qtTexts;
    QApplication::installTranslator(&qtTexts);
    GlobalUI::Main();
    if (!GlobalUI::gfrmMain()) return 0;
    const int code = QApplication::exec();
    GlobalUI::resetSession();
    return code;
}
