#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QString>

// Small pieces the views of the main window share.
namespace FieldHelpers {

// Sets a line edit's text only when it differs, so a refresh leaves the caret where it is.
inline void setLineText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text)
        return;
    edit->setText(text);
    // A long value shown from elsewhere is read from its beginning.
    if (!edit->hasFocus())
        edit->setCursorPosition(0);
}

// Red text marks a value that is kept but is not what the field expects.
inline void setRedText(QLineEdit *edit, bool red, const QColor &normal)
{
    QPalette palette = edit->palette();
    const QColor wanted = red ? QColor(255, 0, 0) : normal;
    if (palette.color(QPalette::Text) == wanted)
        return;
    palette.setColor(QPalette::Text, wanted);
    edit->setPalette(palette);
}

// A "..." button beside a field is no wider than its dots need.
inline void fitBrowseButton(QPushButton *button)
{
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 18);
}

} // namespace FieldHelpers
