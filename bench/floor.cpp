// The least a Qt Widgets program can do: one window with one line edit, the size of Pelmora's
// window. Its start time and memory are the floor Pelmora is measured against.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Qt floor"));
    window.setFixedSize(497, 631);
    auto *edit = new QLineEdit(&window);
    edit->setGeometry(80, 40, 49, 18);
    window.show();
    return app.exec();
}
