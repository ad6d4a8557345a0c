// The read-out edit paints what a plain read-only QLineEdit with the same text paints.
#include "controls/CReadoutEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>

#include <gtest/gtest.h>

namespace {
QImage Grab(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

QImage Render(QLineEdit& edit, const char* text)
{
    edit.setText(QString::fromLatin1(text));
    return Grab(edit);
}
} // namespace

TEST(CReadoutEdit, PaintsTheSamePixelsAsALineEdit)
{
    QWidget parent;
    parent.setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    QLineEdit plain(&parent);
    CReadoutEdit readout(&parent);
    for (QLineEdit* edit : {&plain, static_cast<QLineEdit*>(&readout)}) {
        edit->setReadOnly(true);
        edit->setGeometry(0, 0, 75, 23);
    }
    // Digits (the quick way once a first paint has shown a text from its start), a number too
    // wide for the box (scrolled), other text, and digits again.
    for (const char* text : {"0", "15", "90817", "1234567", "123456789012345678", "-15", "", "4711", "8"})
        EXPECT_EQ(Render(readout, text), Render(plain, text)) << text;
    // Numbers shown many times a second look the same, a too wide one included, and the line
    // edit's own text has the last one as soon as the box takes the focus.
    for (const char* text : {"12", "90817", "123456789012345678", "4711"}) {
        readout.ShowNumber(QByteArray(text).toLongLong());
        EXPECT_EQ(Grab(readout), Render(plain, text)) << text;
    }
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(&readout, &focus);
    EXPECT_EQ(readout.text(), QStringLiteral("4711"));
}
