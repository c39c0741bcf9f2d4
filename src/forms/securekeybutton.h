// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QImage>
#include <memory>

struct SecureKeyButtonPrivate;

// A large keypad key: a rounded panel with its caption (or picture) centred, sized by its grid
// cell rather than by its contents, as a touch keypad needs.
class SecureKeyButton : public EBaseWidget
{
    Q_OBJECT
public:
    explicit SecureKeyButton(const QString &caption, QGraphicsItem *parent = nullptr);
    ~SecureKeyButton() override;

    void setImage(const QImage &image);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

protected:
    void geometryUpdated() override;

private:
    std::unique_ptr<SecureKeyButtonPrivate> d;
};
