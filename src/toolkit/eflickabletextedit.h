// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "eflickable.h"

#include <QColor>
#include <QTextCursor>
#include <memory>

class ETextEdit;
struct EFlickableTextEditPrivate;

// A multi-line text editor in a finger-scrolled area: the text grows downwards, the view follows
// the cursor, and a swipe scrolls. It offers the signals and calls of ETextEdit.
class EFlickableTextEdit : public EFlickable
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY onTextChanged)
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
public:
    explicit EFlickableTextEdit(QGraphicsItem *parent = nullptr);
    ~EFlickableTextEdit() override;

    ETextEdit *textEdit() const;
    QString text() const;
    void setText(const QString &text);
    QColor colortext() const;
    void setColortext(const QColor &color);
    void setReadOnly(bool readOnly);
    void setMaxLength(int length);
    QTextCursor textCursor() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void openSoftwareInputPanel();
    void closeSoftwareInputPanel();

signals:
    void focusSetted();
    void focusLosted();
    void onTextChanged(const QString &text);
    void cursorPositionChanged(const QTextCursor &cursor);

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;

private:
    void fitEditor();
    std::unique_ptr<EFlickableTextEditPrivate> d;
};
