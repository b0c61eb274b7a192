#include "gui/app/placeholderwindow.h"

#include <QLabel>

PlaceholderWindow::PlaceholderWindow(const QString &title, QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(title);
    auto *label = new QLabel(tr("Your scenery library will appear here."), this);
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    resize(800, 560);
}
