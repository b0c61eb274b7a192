#include "gui/app/splashview.h"

#include "app/frmsplash.h"
#include "gui/app/splashface.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QWindow>

SplashView::SplashView(frmSplash &form, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_form(form)
{
    setFocusPolicy(Qt::StrongFocus);
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_face = SplashFace::create(*this, form, m_text1);

    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, [this] {
        if (!m_form.isVisible())
            hide();
    });
}

void SplashView::sync()
{
    apply(true);
}

void SplashView::apply(bool keepForMinimum)
{
    m_face.build->setText(m_form.lblBuild);
    m_text1->setVisible(m_form.Text1Visible);
    m_face.close->setVisible(m_form.lblCloseVisible);
    if (m_form.isVisible()) {
        m_hideTimer.stop();
        if (isVisible())
            return;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
        raise();
        waitUntilExposed();
        m_shown.start();
    } else if (isVisible() && (!m_hideTimer.isActive() || !keepForMinimum)) {
        // A fast start would otherwise only flash it; the user's own click hides it at once.
        const qint64 left = keepForMinimum && m_shown.isValid() ? MinimumShown - m_shown.elapsed() : 0;
        if (left > 0) {
            m_hideTimer.start(int(left));
        } else {
            m_hideTimer.stop();
            hide();
        }
    }
}

void SplashView::waitUntilExposed()
{
    // The window system maps the window in its own time (a window manager first decorates and
    // places it); user input waits, as everywhere during loading.
    QElapsedTimer waited;
    waited.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < ExposeWait) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(5);
    }
    repaint();
}

bool SplashView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && m_face.routePress(watched, m_form)) {
        apply(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashView::mousePressEvent(QMouseEvent *event)
{
    m_form.Form_Click();
    apply(false);
    event->accept();
}

void SplashView::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    m_form.Form_KeyPress(text.isEmpty() ? event->key() : text.at(0).unicode());
    apply(false);
    event->accept();
}

void SplashView::paintEvent(QPaintEvent *)
{
    SplashFace::paintBackground(*this);
}
