// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "eiconwidget.h"

#include <QColor>
#include <QFont>

// The small image-and-caption button that tiles, dialogs and screens are built from: an icon
// button with margins of 5 that takes its picture from the program's resources by name.
class ExtToolWidget : public EIconWidget
{
    Q_OBJECT
public:
    explicit ExtToolWidget(QGraphicsItem *parent = nullptr);
    ExtToolWidget(const QString &resourceImage, const QString &caption,
                  QGraphicsItem *parent = nullptr);

    // Loads ":/resources/<name>"; an empty name clears the picture.
    void setResourceImage(const QString &name);
    QString resourceImage() const { return m_imageName; }
    void setCaptionFont(const QFont &font);

private:
    QString m_imageName;
};
