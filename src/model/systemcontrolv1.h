// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basecontrolv1.h"
#include "controlconstants.h"
#include "roomconstantsv1.h"

// A button that opens a system screen or, for the type "subst", another subsystem file.
class SystemControlV1 : public BaseControlV1
{
public:
    SystemControlV1();
    ~SystemControlV1() override;

    SystemControlV1 *clone() const override;
    int kind() const override;
    static std::unique_ptr<SystemControlV1> create(const QString &name, const QString &textB,
                                                   const QPointF &position);
    // What the kind is to the project files, the editor and the tools.
    static const ControlKind &kindDescription();

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &value) { m_fileName = value; }
    QString image() const { return m_image; }
    void setImage(const QString &value) { m_image = value; }
    RoomConstantsV1::FormNumbers systType() const { return m_systType; }
    void setSystType(RoomConstantsV1::FormNumbers value) { m_systType = value; }
    void setSystType(const QString &text) { m_systType = RoomConstantsV1::formNumber(text); }
    QString systTypeText() const { return RoomConstantsV1::formText(m_systType); }

protected:
    SystemControlV1(const SystemControlV1 &) = default;

private:
    QString m_fileName;
    QString m_image;
    RoomConstantsV1::FormNumbers m_systType = RoomConstantsV1::FormNone;
};
