// The read-out edit paints what a plain read-only QLineEdit with the same text paints.
#include "controls/CReadoutEdit.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {
QImage Render(QLineEdit& edit, const char* text)
{
    edit.setText(QString::fromLatin1(text));
    QImage image(edit.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    edit.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
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
}
