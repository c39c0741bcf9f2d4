// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "eiconwidget.h"

#include <QString>
#include <QVector>

struct ExtWidgetKind;

// A plan icon button that shows one of a control's pictures by file name, with the selection
// mark of association mode (a highlighted rounded frame behind the picture). The base of the
// switch, sensor, bit and value-matching button widgets and of sub-room icons.
class ExtIconButton : public EIconWidget
{
    Q_OBJECT
public:
    explicit ExtIconButton(QGraphicsItem *parent = nullptr);
    // The control kinds this widget shows (ExtWidgetKinds).
    static QVector<ExtWidgetKind> widgetKinds();

    // Shows the picture of a working-folder file: "none" shows none, an empty name shows the
    // resource picture `emptyFallback`. Setting the name already shown does nothing.
    void setImageName(const QString &name, const QString &emptyFallback = defaultImage());
    QString imageName() const { return m_imageName; }
    bool hasImageName() const { return m_hasName; }

    bool isMarked() const { return m_marked; }
    void setMarked(bool marked);

    static QString defaultImage() { return QStringLiteral("graphics.png"); }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    QString m_imageName;
    bool m_hasName = false;
    bool m_marked = false;
};
