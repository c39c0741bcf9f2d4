// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QColor>
#include <QTextCursor>
#include <memory>

class QTextDocument;
struct ETextEditPrivate;

// An editable plain-text field: keyboard editing, a cursor, selection with the mouse or with
// shift and the arrows, the usual copy/paste keys. A single-line field does not take line breaks
// (Enter emits returnPressed()) and scrolls sideways to keep the cursor in view. Taking the focus
// opens the platform's software input panel, if it has one, and losing it closes the panel.
class ETextEdit : public EGraphicsWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY onTextChanged)
    Q_PROPERTY(QColor colortext READ colortext WRITE setColortext)
    Q_PROPERTY(bool readOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool singleLine READ isSingleLine WRITE setSingleLine)
    Q_PROPERTY(int maxLength READ maxLength WRITE setMaxLength)
public:
    explicit ETextEdit(QGraphicsItem *parent = nullptr);
    ~ETextEdit() override;

    QString text() const;
    void setText(const QString &text);
    QColor colortext() const;
    void setColortext(const QColor &color);
    bool isReadOnly() const;
    void setReadOnly(bool readOnly);
    bool isSingleLine() const;
    void setSingleLine(bool single);
    // Characters kept at most (0: no limit); longer input is cut.
    int maxLength() const;
    void setMaxLength(int length);
    // A hint drawn in the empty field; it is never the field's text.
    void setPlaceholderText(const QString &text);
    QString placeholderText() const;
    // A frameless editor draws no field (used inside EFlickableTextEdit, which draws it).
    void setFrameVisible(bool visible);

    QTextCursor textCursor() const;
    void setTextCursor(const QTextCursor &cursor);
    QTextDocument *document() const;
    // The cursor's rectangle in this widget's coordinates.
    QRectF cursorRect() const;
    // Height the whole text needs at the current width, padding included.
    qreal documentHeight() const;
    bool hasEditFocus() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

public slots:
    void openSoftwareInputPanel();
    void closeSoftwareInputPanel();
    void selectAll();
    void clear();
    void setEditFocus();

signals:
    void focusSetted();
    void focusLosted();
    void onTextChanged(const QString &text);
    void cursorPositionChanged(const QTextCursor &cursor);
    void returnPressed();
    void documentHeightChanged(qreal height);

protected:
    void geometryUpdated() override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    friend class ETextEditItem;
    void handleContentsChanged();
    void checkCursor();
    void keepCursorVisible();
    std::unique_ptr<ETextEditPrivate> d;
};
