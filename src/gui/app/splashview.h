#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class frmSplash;

// The splash window: the program's name, date and build, shown while the main window loads.
// A click on it or a key pressed in it hides it early, as its logic decides.
class SplashView : public QWidget
{
    Q_OBJECT
public:
    explicit SplashView(frmSplash &form, QWidget *parent = nullptr);

    // Shows or hides the window as the logic says, filling the labels first.
    void sync();

protected:
    void mousePressEvent(class QMouseEvent *event) override;
    void keyPressEvent(class QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(class QPaintEvent *event) override;

private:
    frmSplash &m_form;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_build = nullptr;
    QLabel *m_close = nullptr;
    QLineEdit *m_text1 = nullptr;
};
