// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "exttoolwidget.h"

#include <QImage>

ExtToolWidget::ExtToolWidget(QGraphicsItem *parent)
    : EIconWidget(parent)
{
    setMargins(5, 5, 5, 5);
    setCaptionColor(Qt::white);
}

ExtToolWidget::ExtToolWidget(const QString &resourceImage, const QString &caption,
                             QGraphicsItem *parent)
    : ExtToolWidget(parent)
{
    setResourceImage(resourceImage);
    setText(caption);
}

void ExtToolWidget::setResourceImage(const QString &name)
{
    if (name == m_imageName)
        return;
    m_imageName = name;
    // Pictures are cached by the image itself; a name that is not in the resources shows no
    // icon rather than a broken one.
    setImage(name.isEmpty() ? QImage() : QImage(QStringLiteral(":/resources/") + name));
}

void ExtToolWidget::setCaptionFont(const QFont &font)
{
    setFont(font);
}
