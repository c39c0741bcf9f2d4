// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "controllertypes.h"

#include "modbusconstants.h"
#include "roomsnapshot.h"

double MessageRecord::scaledValue() const
{
    return (maximum - minimum) * (double(dataByte) / 255.0) + minimum;
}

QByteArray GActivators::toControllerOrder() const
{
    QByteArray out(ModbusLink::kActivatorBytes, '\0');
    for (int i = 0; i < ModbusLink::kActivatorBytes; ++i)
        out[i] = char(bytes[size_t(ModbusLink::kActivatorAtPosition[i])]);
    return out;
}

GActivators GActivators::fromControllerOrder(const QByteArray &data, int position)
{
    GActivators result;
    for (int i = 0; i < ModbusLink::kActivatorBytes; ++i) {
        const int at = position + i;
        if (at >= 0 && at < data.size())
            result.bytes[size_t(ModbusLink::kActivatorAtPosition[i])] = quint8(data.at(at));
    }
    return result;
}

void registerControllerTypes()
{
    qRegisterMetaType<AlertStruct>("AlertStruct");
    qRegisterMetaType<ArchiveStruct>("ArchiveStruct");
    qRegisterMetaType<QList<AlertStruct>>("QList<AlertStruct>");
    qRegisterMetaType<QList<ArchiveStruct>>("QList<ArchiveStruct>");
    qRegisterMetaType<ReservVariables>("ReservVariables");
    qRegisterMetaType<GActivators>("GActivators");
    qRegisterMetaType<ScenesStruct>("ScenesStruct");
    qRegisterMetaType<SubsUpdateItem>("SubsUpdateItem");
    qRegisterMetaType<SubsUpdate>("SubsUpdate");
    qRegisterMetaType<QList<SubsUpdate>>("QList<SubsUpdate>");
    qRegisterMetaType<RoomSnapshot>("RoomSnapshot");
}
