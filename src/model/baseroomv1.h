// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "subsupdate.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <memory>

class BaseControlV1;
class SwitchControlV1;
class SensorControlV1;
class TextControlV1;
class SystemControlV1;
class WeatherControlV1;
class IpCamControlV1;
class AVCamControlV1;
class BoolControlV1;
class BtnControlV1;
class ByteControlV1;
class HeatControlV1;
class LightControlV1;
class ResbtControlV1;
class DynTextControlV1;
class TextWriteControlV1;
class HSliderControlV1;
class VSliderControlV1;
struct FileOrigin;

// A page of a subsystem tree (root, floor or room): the plan it is drawn over, its button on the
// parent page, its scene captions and the control records it owns, in file order.
class BaseRoomV1
{
public:
    // Subsystem type of a tree, decided by the file name it was read from.
    enum TYPESYSTEM {
        NoSystem = 0,
        LightSystem = 1,
        HeatSystem = 2,
        OtherSystem = 3,
        MainSystem = 4
    };
    // What a page is (kind()).
    enum PageKind { KindBase = 0, KindRoom = 1, KindFloor = 2, KindRoot = 3 };

    BaseRoomV1();
    virtual ~BaseRoomV1();
    BaseRoomV1(const BaseRoomV1 &) = delete;
    BaseRoomV1 &operator=(const BaseRoomV1 &) = delete;

    virtual int kind() const;

    // "rst" followed by a decimal number never handed out before while the program runs.
    static QString newRuntimeId();

    bool showScenes() const { return m_showScenes; }
    void setShowScenes(bool on) { m_showScenes = on; }
    bool isDeleted() const { return m_deleted; }
    void setDeleted(bool on) { m_deleted = on; }
    // "Modified" means the page differs from its file: an edit sets it, a write clears it.
    bool isModified() const { return m_modified; }
    void setModified(bool on);
    // Counts every setModified(true) of any page, and every write that cleared the flags: the
    // autosave looks for edits by the first, undo by the second (an edit undone after its page
    // was written leaves the file different again).
    static quint64 modificationCount();
    static quint64 writeCount();
    static void noteWritten();
    bool drawRect() const { return m_drawRect; }
    void setDrawRect(bool on) { m_drawRect = on; }
    int pageNumber() const { return m_pageNumber; }
    void setPageNumber(int number) { m_pageNumber = number; }
    int pageID() const { return m_pageID; }
    void setPageID(int id) { m_pageID = id; }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    int height() const { return m_height; }
    void setHeight(int height) { m_height = height; }
    double posX() const { return m_posX; }
    void setPosX(double x); // negative -> 0
    double posY() const { return m_posY; }
    void setPosY(double y) { m_posY = y; }
    double zIndex() const { return m_zIndex; }
    void setZIndex(double z); // accepted only in [0, 1]
    QString image() const { return m_image; }
    void setImage(const QString &image) { m_image = image; }
    QString runtimeId() const { return m_runtimeId; }
    void setRuntimeId(const QString &id) { m_runtimeId = id; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString textB() const { return m_textB; }
    void setTextB(const QString &text) { m_textB = text; }
    QString fontColor() const { return m_fontColor; }
    void setFontColor(const QString &color) { m_fontColor = color; }
    QString contImage() const { return m_contImage; }
    void setContImage(const QString &image) { m_contImage = image; }
    TYPESYSTEM systemType() const { return m_systemType; }
    void setSystemType(TYPESYSTEM type) { m_systemType = type; }
    QStringList scenes() const { return m_scenes; }
    void setScenes(const QStringList &scenes) { m_scenes = scenes; }
    void addScene(const QString &caption) { m_scenes.append(caption); }

    // The element the page was read from and its values then; null for a page made in the
    // program (see FileOrigin).
    const std::shared_ptr<FileOrigin> &fileOrigin() const { return m_origin; }
    void setFileOrigin(std::shared_ptr<FileOrigin> origin) { m_origin = std::move(origin); }

    // The page's controls, owned by the page; the index is the one screens and commands use.
    const QList<BaseControlV1 *> &controls() const { return m_controls; }
    int controlCount() const { return m_controls.size(); }
    // Takes ownership, gives the control a fresh runtime id, clears its deleted flag; its index.
    int addControl(BaseControlV1 *control);
    int addControl(std::unique_ptr<BaseControlV1> control) { return addControl(control.release()); }

    SwitchControlV1 *createSwitch(const QString &name, const QString &textB,
                                  const QPointF &position);
    SensorControlV1 *createSensor(const QString &name, const QString &textB,
                                  const QPointF &position);
    TextControlV1 *createText(const QString &name, const QString &textB, const QPointF &position);
    SystemControlV1 *createSystem(const QString &name, const QString &textB,
                                  const QPointF &position);
    WeatherControlV1 *createWeather(const QString &name, const QString &textB,
                                    const QPointF &position);
    IpCamControlV1 *createIpCam(const QString &name, const QString &textB, const QPointF &position);
    AVCamControlV1 *createAVCam(const QString &name, const QString &textB, const QPointF &position);
    BoolControlV1 *createBool(const QString &name, const QString &textB, const QPointF &position);
    BtnControlV1 *createBtn(const QString &name, const QString &textB, const QPointF &position);
    ByteControlV1 *createByte(const QString &name, const QString &textB, const QPointF &position);
    HeatControlV1 *createHeat(const QString &name, const QString &textB, const QPointF &position);
    LightControlV1 *createLight(const QString &name, const QString &textB, const QPointF &position);
    ResbtControlV1 *createResbt(const QString &name, const QString &textB, const QPointF &position);
    DynTextControlV1 *createDynText(const QString &name, const QString &textB,
                                    const QPointF &position);
    TextWriteControlV1 *createTextWrite(const QString &name, const QString &textB,
                                        const QPointF &position);
    HSliderControlV1 *createHSlider(const QString &name, const QString &textB,
                                    const QPointF &position);
    VSliderControlV1 *createVSlider(const QString &name, const QString &textB,
                                    const QPointF &position);
    // The creation function of a kind code (3..9, 100..102, 104..110); null for any other code.
    BaseControlV1 *createControl(int kind, const QString &name, const QString &textB,
                                 const QPointF &position);

    BaseControlV1 *controlById(const QString &runtimeId) const;
    int indexById(const QString &runtimeId) const;
    BaseControlV1 *controlAt(int index) const;
    SensorControlV1 *sensorByNumber(int number) const;
    SwitchControlV1 *switchByNumber(int number) const;
    // Lamps whose record names the sensor / switch (compared on the low 8 bits).
    QList<LightControlV1 *> lampsOfSensor(int number) const;
    QList<LightControlV1 *> lampsOfSwitch(int number) const;
    QList<SwitchControlV1 *> switches() const;

    // Write-pending flag of a controller-bound control that is not deleted.
    void markChanged(int index, bool flag);
    void clearChanged();

    // Distributes one polling answer into the controls (later blocks overwrite earlier ones).
    void applyAnswer(const QList<SubsUpdate> &answer, int registerOffset);

private:
    bool m_showScenes = true;
    bool m_deleted = false;
    bool m_modified = false;
    bool m_drawRect = false;
    int m_pageNumber = 0;
    int m_pageID = 0;
    int m_width = 64;
    int m_height = 64;
    double m_posX = 0;
    double m_posY = 0;
    double m_zIndex = 1.0;
    QString m_image;
    QString m_runtimeId;
    QString m_name;
    QString m_textB;
    QString m_fontColor = QStringLiteral("#000");
    QString m_contImage;
    TYPESYSTEM m_systemType = NoSystem;
    QList<BaseControlV1 *> m_controls;
    QStringList m_scenes;
    std::shared_ptr<FileOrigin> m_origin;
};
