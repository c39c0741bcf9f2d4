// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ebasewidget.h"

#include <QStringList>
#include <memory>

struct EComboWidgetPrivate;
class EComboPopup;

// A drop-down list: a tap opens the list over everything else in the scene, a tap on an entry
// chooses it, a tap outside closes it unchanged; a long list scrolls under the finger.
// valueChanged() and indexChanged() report the user's choices only (a choice of the entry that was
// already current reports nothing); setCurrentIndex() from code is silent.
class EComboWidget : public EBaseWidget
{
    Q_OBJECT
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex)
    Q_PROPERTY(QString currentText READ currentText)
    Q_PROPERTY(QStringList items READ items WRITE setItems)
public:
    explicit EComboWidget(QGraphicsItem *parent = nullptr);
    ~EComboWidget() override;

    QStringList items() const;
    void setItems(const QStringList &items);
    void addItem(const QString &text);
    void addItems(const QStringList &texts);
    void clear();
    int count() const;
    QString itemText(int index) const;
    int findText(const QString &text) const;

    int currentIndex() const;
    QString currentText() const;
    // The box the current entry's text is drawn in (longer texts are elided), in item coordinates.
    QRectF textRect() const;

    bool isPopupVisible() const;
    // The open list, for tests and screens that need to reach it; nullptr when closed.
    EComboPopup *popup() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    // -1 clears the choice; other out-of-range indexes are ignored.
    void setCurrentIndex(int index);
    void showPopup();
    void hidePopup();

signals:
    void valueChanged(const QString &value);
    void indexChanged(int index);

protected:
    void geometryUpdated() override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    friend class EComboPopup;
    void choose(int index);
    std::unique_ptr<EComboWidgetPrivate> d;
};
