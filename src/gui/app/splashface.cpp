#include "gui/app/splashface.h"

#include "app/frmsplash.h"
#include "gui/app/toolbaricons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

SplashFace SplashFace::create(QWidget &window, const frmSplash &form, QWidget *extra)
{
    window.setObjectName(QStringLiteral("frmSplash"));
    window.setFixedSize(420, 220);

    auto *layout = new QHBoxLayout(&window);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(20);
    auto *logo = new QLabel(&window);
    logo->setPixmap(ToolbarIcons::program().pixmap(72, 72));
    logo->setAlignment(Qt::AlignTop);
    layout->addWidget(logo);

    SplashFace face;
    face.label1 = new QLabel(form.Label1, &window);
    face.label1->setObjectName(QStringLiteral("Label1"));
    QFont title = face.label1->font();
    title.setPointSizeF(title.pointSizeF() * 2.0);
    title.setBold(true);
    face.label1->setFont(title);
    face.label2 = new QLabel(form.Label2, &window);
    face.label2->setObjectName(QStringLiteral("Label2"));
    face.build = new QLabel(form.lblBuild, &window);
    face.build->setObjectName(QStringLiteral("lblBuild"));
    face.close = new QLabel(QStringLiteral("<u>%1</u>").arg(form.lblClose), &window);
    face.close->setObjectName(QStringLiteral("lblClose"));
    face.close->setCursor(Qt::PointingHandCursor);
    face.close->setVisible(form.lblCloseVisible);

    auto *column = new QVBoxLayout;
    column->setSpacing(6);
    column->addWidget(face.label1);
    column->addWidget(face.label2);
    column->addStretch(1);
    column->addWidget(face.build);
    if (extra)
        column->addWidget(extra);
    column->addWidget(face.close, 0, Qt::AlignRight);
    layout->addLayout(column, 1);

    for (QLabel *label : {face.label1, face.label2, face.close})
        label->installEventFilter(&window);
    return face;
}

void SplashFace::paintBackground(QWidget &window)
{
    QPainter p(&window);
    QLinearGradient background(0, 0, 0, window.height());
    background.setColorAt(0, QColor(250, 251, 253));
    background.setColorAt(1, QColor(222, 230, 242));
    p.fillRect(window.rect(), background);
    p.setPen(QColor(120, 136, 160));
    p.drawRect(window.rect().adjusted(0, 0, -1, -1));
}

bool SplashFace::routePress(const QObject *watched, frmSplash &form) const
{
    if (watched == label1)
        form.Label1_Click();
    else if (watched == label2)
        form.Label2_Click();
    else if (watched == close)
        form.lblClose_Click();
    else
        return false;
    return true;
}
