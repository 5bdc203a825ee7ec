#include "look.hpp"
#include "main_window.hpp"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    pelmora::setUpApplicationLook();
    pelmora::MainWindow top;
    top.show();
    return app.exec();
}
