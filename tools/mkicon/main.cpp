// mkicon FILE SIZE: writes the program's icon, as its windows show it, to a PNG file of
// SIZE x SIZE pixels, for the desktop entry of an installation.
#include <QApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>
#include <string>

#include "shell/frmmain.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkicon FILE SIZE\n");
        return 2;
    }
    QApplication application(argc, argv);
    const int size = std::stoi(argv[2]);
    const QPixmap picture = velmora::frmMain::programIcon().pixmap(size, size);
    if (picture.size() != QSize(size, size) || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "mkicon: %s: cannot write the %d x %d icon\n", argv[1], size, size);
        return 1;
    }
    return 0;
}
