// quorlet3-icons: writes the program's icon as PNG files in the hicolor theme layout.
#include <QDir>
#include <QImage>
#include <cstdio>

#include "window/Quorlet3Icon.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorlet3-icons OUTPUT-DIR ICON-NAME\n");
        return 2;
    }
    const QString outputDir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(outputDir).arg(size);
        if (!QDir().mkpath(dir) || !quorlet3::DrawQuorlet3Icon(size).save(dir + "/" + name + ".png")) {
            std::fprintf(stderr, "quorlet3-icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
