#include "command_line.hpp"
#include "look.hpp"
#include "main_window.hpp"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const auto status = pelmora::answerCommandLine(argc, argv))
        return *status;
    QApplication app(argc, argv);
    pelmora::setUpApplicationLook();
    pelmora::MainWindow top;
    top.show();
    return app.exec();
}
