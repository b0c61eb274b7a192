#include "gui/app/splashview.h"

#include "app/frmsplash.h"
#include "gui/app/toolbaricons.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

SplashView::SplashView(frmSplash &form, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_form(form)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(420, 220);
    setFocusPolicy(Qt::StrongFocus);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(20);

    auto *logo = new QLabel(this);
    logo->setPixmap(ToolbarIcons::program().pixmap(72, 72));
    logo->setAlignment(Qt::AlignTop);
    layout->addWidget(logo);

    auto *column = new QVBoxLayout;
    column->setSpacing(6);
    m_label1 = new QLabel(form.Label1, this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont title = m_label1->font();
    title.setPointSizeF(title.pointSizeF() * 2.0);
    title.setBold(true);
    m_label1->setFont(title);
    m_label2 = new QLabel(form.Label2, this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_build = new QLabel(this);
    m_build->setObjectName(QStringLiteral("lblBuild"));
    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_close = new QLabel(form.lblClose, this);
    m_close->setObjectName(QStringLiteral("lblClose"));
    m_close->setCursor(Qt::PointingHandCursor);
    column->addWidget(m_label1);
    column->addWidget(m_label2);
    column->addStretch(1);
    column->addWidget(m_build);
    column->addWidget(m_text1);
    column->addWidget(m_close, 0, Qt::AlignRight);
    layout->addLayout(column, 1);

    for (QWidget *label : {static_cast<QWidget *>(m_label1), static_cast<QWidget *>(m_label2),
                           static_cast<QWidget *>(m_close)})
        label->installEventFilter(this);

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
    m_build->setText(m_form.lblBuild);
    m_text1->setVisible(m_form.Text1Visible);
    m_close->setVisible(m_form.lblCloseVisible);
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
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_label1)
            m_form.Label1_Click();
        else if (watched == m_label2)
            m_form.Label2_Click();
        else if (watched == m_close)
            m_form.lblClose_Click();
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
    QPainter p(this);
    QLinearGradient background(0, 0, 0, height());
    background.setColorAt(0, QColor(250, 251, 253));
    background.setColorAt(1, QColor(222, 230, 242));
    p.fillRect(rect(), background);
    p.setPen(QColor(120, 136, 160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
