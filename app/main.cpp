// quorlet3: the desktop window of the access log analyser.
#include <QApplication>

#include "app/Quorlet3App.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    quorlet3::CQuorlet3App theApp;
    if (!theApp.InitInstance(QApplication::arguments())) {
        return 1;
    }
    return QApplication::exec();
}
