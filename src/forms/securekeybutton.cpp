// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "securekeybutton.h"

#include "estatictext.h"
#include "toolkitstyle.h"

#include <QPainter>
#include <QPixmap>

struct SecureKeyButtonPrivate
{
    EStaticText caption;
    QImage image;
    QPixmap pixmap;
    QRectF pixmapRect;
};

SecureKeyButton::SecureKeyButton(const QString &caption, QGraphicsItem *parent)
    : EBaseWidget(parent), d(new SecureKeyButtonPrivate)
{
    setText(caption);
    setFont(EStyle::font(26, true));
    d->caption.setAlignment(Qt::AlignCenter);
    setMinimumSize(EStyle::kTouchSize, EStyle::kTouchSize);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

SecureKeyButton::~SecureKeyButton() = default;

void SecureKeyButton::setImage(const QImage &image)
{
    d->image = image;
    geometryUpdated();
    update();
}

void SecureKeyButton::geometryUpdated()
{
    EBaseWidget::geometryUpdated();
    d->caption.setFont(font());
    d->caption.setRect(rect());
    d->pixmap = QPixmap();
    if (!d->image.isNull() && !size().isEmpty()) {
        // The picture keeps its proportions and leaves a margin of the panel around it.
        const QSizeF room = size() * 0.6;
        const QSize fitted = d->image.size().scaled(room.toSize(), Qt::KeepAspectRatio);
        if (!fitted.isEmpty()) {
            d->pixmap = QPixmap::fromImage(
                d->image.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation));
            d->pixmapRect = QRectF(QPointF(0, 0), QSizeF(fitted));
            d->pixmapRect.moveCenter(rect().center());
        }
    }
}

void SecureKeyButton::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (d->caption.text() != text())
        d->caption.setText(text());
    const EStyle::States s = styleState();
    painter->setRenderHint(QPainter::Antialiasing, true);
    EStyle::drawButton(painter, rect().adjusted(2, 2, -2, -2), s);
    if (!d->pixmap.isNull()) {
        painter->drawPixmap(d->pixmapRect.topLeft(), d->pixmap);
        return;
    }
    painter->setPen(EStyle::buttonText(s));
    d->caption.draw(painter);
}
