#include "gui/app/placeholderwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    PlaceholderWindow window(QStringLiteral("Lumivale 1.6"));
    window.show();
    return app.exec();
}
