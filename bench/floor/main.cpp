// The floor for the start-up and memory benchmark: the least a Qt Widgets
// program with a menu bar and one label costs on this machine.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(QStringLiteral("終了(&X)"), &app, &QApplication::quit);
    auto* label = new QLabel(QStringLiteral("リターンを押してね"));
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(353, 202);
    window.show();
    return app.exec();
}
