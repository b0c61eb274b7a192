#pragma once

class QLabel;
class QObject;
class QWidget;
class frmSplash;

// The face the splash window and the about box of "Info" share: the logo, the program's name and
// date, the build, the close link, and the background they are painted on. A press on one of the
// labels goes to the logic as the label's own click.
struct SplashFace
{
    QLabel *label1 = nullptr;
    QLabel *label2 = nullptr;
    QLabel *build = nullptr;
    QLabel *close = nullptr;

    // Lays the face out in the window, with an extra widget (may be null) between the build and
    // the close link, and has the window filter the labels' presses.
    static SplashFace create(QWidget &window, const frmSplash &form, QWidget *extra = nullptr);
    static void paintBackground(QWidget &window);

    // Hands a press on one of the labels to the logic; false when the press was not on one.
    bool routePress(const QObject *watched, frmSplash &form) const;
};
