// The smallest Qt Widgets program that shows a window like the calculator's:
// one plain widget of the main window's client size and caption, nothing in
// it. bench/startup starts it beside vostrel to see what the calculator adds
// to Qt's own start-up time and memory.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Form1"));
    window.setFixedSize(695, 456);
    window.show();
    return QApplication::exec();
}
