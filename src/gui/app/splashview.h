#pragma once

#include "gui/app/splashface.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLineEdit;
class frmSplash;

// The splash window: the program's name, date and build, shown while the main window loads.
// A click on it or a key pressed in it hides it early, as its logic decides.
class SplashView : public QWidget
{
    Q_OBJECT
public:
    explicit SplashView(frmSplash &form, QWidget *parent = nullptr);

    // Shows or hides the window as the logic says, filling the labels first. Shown, it returns once
    // the window is on screen, so the loading that follows does not keep it from appearing;
    // hidden, it stays until it has been seen for MinimumShown milliseconds.
    void sync();

    static constexpr int MinimumShown = 1200;
    static constexpr int ExposeWait = 2000;

protected:
    void mousePressEvent(class QMouseEvent *event) override;
    void keyPressEvent(class QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(class QPaintEvent *event) override;

private:
    void apply(bool keepForMinimum);
    void waitUntilExposed();

    frmSplash &m_form;
    QElapsedTimer m_shown;
    QTimer m_hideTimer;
    SplashFace m_face;
    QLineEdit *m_text1 = nullptr;
};
