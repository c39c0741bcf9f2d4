// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "cloneable.h"
#include "icontrol.h"

#include <QPointF>
#include <QString>
#include <memory>

class BaseRoomV1;
struct ControlKind;
struct FileOrigin;

// A control record: one item placed on a page (lamp, switch, text, camera, ...). Plain data owned
// by its page; the common part holds position, caption and the editor's flags. Kind 1 ("basecnt").
class BaseControlV1 : public Cloneable, public IControl
{
public:
    BaseControlV1() = default;
    ~BaseControlV1() override;

    BaseControlV1 *clone() const override;
    int kind() const override;

    static std::unique_ptr<BaseControlV1> create(const QString &name, const QString &textB,
                                                 const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    // Decodes the bytes last read from the controller into the kind's fields. Short data changes
    // nothing. `page` is the record's page; lamps update its sensor and scene switch.
    virtual void decode(int minimumLength, BaseRoomV1 *page = nullptr);

    bool isControllerBound() const;

    bool isReadOnly() const { return m_isReadOnly; }
    void setReadOnly(bool on) { m_isReadOnly = on; }
    bool isEditable() const { return m_isEditable; }
    void setEditable(bool on) { m_isEditable = on; }
    bool isDeleted() const { return m_deleted; }
    void setDeleted(bool on) { m_deleted = on; }
    double posX() const { return m_posX; }
    void setPosX(double x); // negative -> 0
    double posY() const { return m_posY; }
    void setPosY(double y) { m_posY = y; }
    double zIndex() const { return m_zIndex; }
    void setZIndex(double z); // accepted only in [0, 1]
    QString runtimeId() const { return m_runtimeId; }
    void setRuntimeId(const QString &id) { m_runtimeId = id; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString textB() const { return m_textB; }
    void setTextB(const QString &text) { m_textB = text; }

    // The element the record was read from and its values then; null for a record made in the
    // program. Copies share it: the first one written takes the element's place in the file.
    const std::shared_ptr<const FileOrigin> &fileOrigin() const { return m_origin; }
    void setFileOrigin(std::shared_ptr<const FileOrigin> origin) { m_origin = std::move(origin); }

protected:
    BaseControlV1(const BaseControlV1 &) = default;
    BaseControlV1 &operator=(const BaseControlV1 &) = delete;

private:
    bool m_isReadOnly = false;
    bool m_isEditable = false;
    bool m_deleted = false;
    double m_posX = 0;
    double m_posY = 0;
    double m_zIndex = 0;
    QString m_runtimeId;
    QString m_name;
    QString m_textB;
    std::shared_ptr<const FileOrigin> m_origin;
};

// Creation function shared by all kinds: the kind's defaults plus name, caption and position.
template<typename Control>
std::unique_ptr<Control> createControl(const QString &name, const QString &textB,
                                       const QPointF &position)
{
    auto control = std::make_unique<Control>();
    control->setName(name);
    control->setTextB(textB);
    control->setPosX(position.x());
    control->setPosY(position.y());
    return control;
}
