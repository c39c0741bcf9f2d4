// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"
#include "elocale.h"

#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

class BaseControlV1;
class BaseRoomV1;
struct ControlAttribute;
class EBaseWidget;
struct UniSettingsPrivate;

// The editor's properties panel: one fixed grid of labelled editors, of which those that fit the
// loaded control (or page) are enabled and filled. Save writes back only the editors the person
// changed, so values the editors cannot show (a font size over their range, a font or system type
// not in their lists) survive a save of some other property.
class UniSettings : public EGraphicsWidget, public AbstractLocalizable
{
    Q_OBJECT
public:
    enum Field {
        Name,
        Text,
        Width,
        Height,
        Image,
        FontType,
        ImageOff,
        ImageOn,
        Address,
        ByteNumber,
        BitNumber,
        ImageScene,
        Minimum,
        Maximum,
        MaxVal,
        Value,
        Step,
        SystemType,
        DataType,
        Precision,
        FontName,
        FontSize,
        FontColor,
        Number,
        Dimmer,
        ReadOnly,
        Editable,
        TextRect,
        Fone,
        Scenes,
        CameraAddress,
        CameraPort,
        StreamPath,
        Login,
        Password,
        CityCode,
        PtzLeft,
        PtzRight,
        PtzUp,
        PtzDown,
        PtzHome,
        PtzZoomIn,
        PtzZoomOut,
        FieldCount
    };

    // The editors sit on a block of this size (logical pixels) in the middle of the panel, the
    // same whatever the size of the screen behind; a screen smaller than the block shows it
    // scaled down to fit, never cut.
    static constexpr qreal kContentWidth = 802;
    static constexpr qreal kContentHeight = 444;

    explicit UniSettings(QGraphicsItem *parent = nullptr);
    ~UniSettings() override;

    void clear();
    void setPage(BaseRoomV1 *page);
    void setControl(BaseControlV1 *control);
    bool hasTarget() const;

    // The editor of a field and its value as the panel holds it (text, number, list index or
    // check state), for the room screen's tests and for people driving it by code.
    EGraphicsWidget *editor(Field field) const;
    bool isFieldEnabled(Field field) const;
    QVariant fieldValue(Field field) const;
    void setFieldValue(Field field, const QVariant &value);
    // What the last Save wrote, as two functions: back to the values before it, and again to
    // the values it wrote. Empty functions when it wrote nothing.
    std::function<void()> lastUndo() const;
    std::function<void()> lastRedo() const;
    EBaseWidget *saveButton() const;
    EBaseWidget *cancelButton() const;
    // The caption above a field's editor (check boxes carry their own text); for tests.
    EGraphicsWidget *label(Field field) const;
    // The block that holds the editors, in the panel's coordinates.
    QRectF contentRect() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void CloseClicked();
    void SaveClicked();

public slots:
    void closeControls();
    void saveControls();
    void updateByteMax(int index);

protected:
    void applyTexts() override;
    void geometryUpdated() override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    struct Binding
    {
        Field field;
        std::function<QVariant()> get;
        std::function<void(const QVariant &)> set;
        // The record's own value and how to put it back, for fields whose editor shows it
        // mapped (an entry of a list, bold or normal): undoing must restore a value the editor
        // could not show. Empty: `get` and `set` serve.
        std::function<QVariant()> keep = nullptr;
        std::function<void(const QVariant &)> restore = nullptr;
    };
    void load(const QVector<Binding> &bindings);
    // The binding of a field to a control's attribute (PropertyRow::Rule `rule`).
    Binding bindingFor(Field field, const ControlAttribute &attribute, int rule,
                       BaseControlV1 *control) const;
    std::unique_ptr<UniSettingsPrivate> d;
};
