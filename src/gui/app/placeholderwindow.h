#pragma once

#include <QMainWindow>

class PlaceholderWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit PlaceholderWindow(const QString &title, QWidget *parent = nullptr);
};
