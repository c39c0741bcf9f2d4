// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

#include <QHash>

class EFlickable;
class EIconWidget;

// The palette of things a person can place on a plan: one icon button per kind, in a scrolling
// grid, plus a close button. It holds no data: each button only announces its entry, and the room
// screen then creates the record at the next press on the plan.
class UniAddControls : public EGraphicsWidget
{
    Q_OBJECT
public:
    // The add codes of the entries, as the room screen keeps them while an add is pending.
    enum Entry {
        EntrySystem = 1,
        EntryLight = 2,
        EntrySwitch = 3,
        EntrySensor = 4,
        EntryBool = 5,
        EntryHeat = 6,
        EntryLevel = 7,
        EntryByte = 8,
        EntryText = 9,
        EntryByteBtn = 10,
        EntryBoolBtn = 11,
        EntryWeather = 12,
        EntryDynText = 13,
        EntryIpCam = 14,
        EntryAvCam = 15,
        EntryTextWrite = 16,
        EntryHSlider = 17,
        EntryVSlider = 18,
    };
    static constexpr qreal kWidth = 465;
    static constexpr qreal kHeight = 301;

    explicit UniAddControls(QGraphicsItem *parent = nullptr);
    ~UniAddControls() override;

    // Enables the entries that make sense on the shown page (a BaseRoomV1 kind and system type):
    // switches and sensors only in rooms, floors and rooms only on the pages of a subsystem.
    void setPageContext(int kind, int systemType);
    // The button of an entry; null for a code the palette does not have.
    EIconWidget *entryButton(int code) const;
    EIconWidget *closeButton() const { return m_close; }
    // Scrolls the grid so that the entry's button is in view.
    void showEntry(int code);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void CloseClicked();
    void firstClick();
    void boolClick();
    void byteClick();
    void textClick();
    void bytebtnClick();
    void boolbtnClick();
    void lightClick();
    void switchClick();
    void sensorClick();
    void heatClick();
    void weatherClick();
    void dyntextClick();
    void ipcamClick();
    void avcamClick();
    void textWriteClick();
    void hsliderClick();
    void vsliderClick();
    void addSystemClicked();
    // Every entry also announces its add code, for hosts that do not want one slot per entry.
    void entryChosen(int code);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QHash<int, EIconWidget *> m_entries;
    EIconWidget *m_close = nullptr;
    EFlickable *m_area = nullptr;
};
