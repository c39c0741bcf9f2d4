// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "basetcpmodbus.h"
#include "controllertypes.h"
#include "linkcommands.h"
#include "roomsnapshot.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class EAppSettings;

// The controller link object of the application: on every poll tick it reads and decodes the
// status block, reads the memory windows of the room page being shown (grouped into as few block
// reads as possible) and, while the scenes screen is open, the scene area, and publishes copies of
// what it read. The named commands that write into the controller are methods of the same object.
// Screens reach them through the typed LinkCommands of commands(), which queues every call, so all
// of it runs in the link thread; the thread contracts are those of BaseTCPModbus. A page is shown
// to the link as a RoomSnapshot value:
//   link->commands().setRoom(makeRoomSnapshot(*room));
class ControlerData : public BaseTCPModbus
{
    Q_OBJECT
public:
    explicit ControlerData(QObject *parent = nullptr);
    ~ControlerData() override;

    // Hands over the connection settings of a configuration (addresses, port, read function, poll
    // interval, register offset, reconnect period, message and parameter lists) and the block-read
    // trace switch ("-modbus"). Owner thread, before start(). A register offset that is not a
    // hexadecimal number the register map can reach is refused with a warning: no polling.
    void configure(const EAppSettings &settings, bool debugModbus);
    // Owner thread, before or while the link runs: takes the connection settings a person has
    // just changed (addresses, port, poll interval, register offset, reconnect period) at once.
    // A changed address or port ends the current connection and connects to the new peer.
    void applyConnectionSettings(const EAppSettings &settings);
    // The register offset of the "offset" setting: hexadecimal text, or -1 for no polling. Null
    // when the text is not a number or the offset leaves no room for the controller's fixed
    // words below register 0xFFFF.
    static std::optional<int> registerOffsetFromText(const QString &text);

    // Owner thread: tells the link to terminate (queued), ends the link thread and waits for it.
    // Idempotent; the destructor calls it.
    void shutdown() override;

    // Any thread, never blocking: values the link publishes as they change.
    int controlerOffset() const;
    bool isReady() const;

    // Any thread: the commands of the methods below, typed. Each call is queued into the link
    // thread and returns at once; calls run in the order they were made.
    LinkCommands &commands();

    Q_INVOKABLE void setMessParameters(const QList<AlertStruct> &messages,
                                       const QList<ArchiveStruct> &parameters);
    // Selects the room to poll, as a snapshot taken in the GUI thread (an invalid one is ignored).
    Q_INVOKABLE void setRoom(const RoomSnapshot &room);
    Q_INVOKABLE void closeRoom();
    Q_INVOKABLE void SetCurrentScenesRoom();
    // The background read set, e.g. everything a hub bridge publishes: its windows are planned
    // into blocks like a room's and read besides the shown room, after the shown room's reads of
    // a tick, a whole round at most once per `periodMs` and spread over as many ticks as fit in
    // it (all blocks in one tick when the period is not longer than the poll interval); each
    // finished round is published with ReadyUpdateBackground. A negative period keeps the one last
    // given; an invalid set ends the background reads.
    Q_INVOKABLE void setBackground(const RoomSnapshot &set, int periodMs);
    Q_INVOKABLE void clearBackground();
    // Any thread: the commands on the controls of the background set (indices into its control
    // list), queued like commands(). Its setRoom and closeRoom set and clear the background set
    // (keeping the period last given); SetCurrentScenesRoom does nothing there.
    LinkCommands &backgroundCommands();
    // Any thread: a copy of the request list with the data of the last poll.
    Q_INVOKABLE QList<SubsUpdate> getRequest() const;
    Q_INVOKABLE void terminateMainThread();
    Q_INVOKABLE void SetControlerOffset(int val);

    // Lighting commands (words 8..9).
    Q_INVOKABLE void GlobalScene1Activate();
    Q_INVOKABLE void GlobalScene2Activate();
    Q_INVOKABLE void GlobalScene3Activate();
    Q_INVOKABLE void GlobalScene4Activate();
    Q_INVOKABLE void GlobalOnActivate();
    Q_INVOKABLE void GlobalOffActivate();
    Q_INVOKABLE void LightOnInRoom(int room);
    Q_INVOKABLE void LightOffInRoom(int room);
    Q_INVOKABLE void Miniscene1InRoom(int room);
    Q_INVOKABLE void Miniscene2InRoom(int room);
    Q_INVOKABLE void Miniscene3InRoom(int room);
    Q_INVOKABLE void Miniscene4InRoom(int room);
    Q_INVOKABLE void SaveGlobalMiniLight(int globalNumber, int miniNumber, int room);

    // Heating commands (word 10).
    Q_INVOKABLE void GlobalHeatOnActivate();
    Q_INVOKABLE void GlobalHeatOffActivate();
    Q_INVOKABLE void GlobalHeatScene1Activate();
    Q_INVOKABLE void GlobalHeatScene2Activate();
    Q_INVOKABLE void GlobalHeatScene3Activate();
    Q_INVOKABLE void GlobalHeatScene4Activate();
    Q_INVOKABLE void FloorHeatSave(int scnNum);

    // Sound feedback (word 7).
    Q_INVOKABLE void SoundStateChanged(int number, int state);
    Q_INVOKABLE void SoundStarted(int number);
    Q_INVOKABLE void SoundStoped(int number);
    Q_INVOKABLE void SoundNotfound(int number);
    Q_INVOKABLE void SoundError(int number);

    // Plain writes.
    Q_INVOKABLE void SinchronizeTime(uint time);
    Q_INVOKABLE void WritePassword(int passw);
    Q_INVOKABLE void WriteAlarm(int alarmId, char data);
    Q_INVOKABLE void WriteSMS(const QString &text, int number);
    // The scene definition WriteGlobalScene writes next, handed over by value (queued).
    Q_INVOKABLE void SetActivators(const GActivators &activat);
    Q_INVOKABLE void WriteGlobalScene(int number);

    // Commands on one control of the room, by its index in the room's control list.
    Q_INVOKABLE void EnableLight(int index);
    Q_INVOKABLE void DisableLight(int index);
    Q_INVOKABLE void ChangeLightBright(int index, int bright);
    Q_INVOKABLE void AddSwitchToLamp(int lmpIndex, int switchNum);
    Q_INVOKABLE void DelSwitchFromLamp(int lmpIndex, int switchNum);
    Q_INVOKABLE void BoolClick(int bolIndex);
    Q_INVOKABLE void BoolButton1Click(int bolIndex);
    Q_INVOKABLE void ByteControlValClick(int bolIndex);
    Q_INVOKABLE void ByteControlChange(int bolIndex, int value);
    Q_INVOKABLE void ChangeHeatTemp(int index, int bright);
    Q_INVOKABLE void TextWriteControlChange(int bolIndex, const QString &text);

    // Commands on all lamps of the room, worked on the blocks of the last poll.
    Q_INVOKABLE void SwitchLightClick(int number);
    Q_INVOKABLE void SensorClick(int snIndex);
    Q_INVOKABLE void DeleteSwitchInRoom(int swNumber);
    Q_INVOKABLE void ChangeSwitchType(int swNumber, int iSwitchType, int iNumScene);
    Q_INVOKABLE void SetSensorToLight(int lmpIndex, int snNum);

signals:
    void ReadyUpdateControls(const QList<SubsUpdate> &answer, int contOffset);
    void ReadyUpdateAlerts(const ReservVariables &currentVariables);
    void ReadyUpdateScenes(const ScenesStruct &currentScenes);
    // A finished round of the background set: its blocks with the data of the round.
    void ReadyUpdateBackground(const QList<SubsUpdate> &answer, int contOffset);
    void ControlDataWriten(int index);

public slots:
    void TimerCNT() override;

protected:
    void socketStateHook(int state) override;
    void linkStopping() override;

private:
    friend class LinkCommandQueue;
    // Link thread: runs `command` with the background set in the place of the shown room.
    void runOnBackground(const std::function<void()> &command);
    void readBackgroundBlocks(int offset);
    // Owner thread: the register offset of the "offset" setting; text that is no register number
    // stops polling with a warning.
    void applyRegisterOffset(const QString &text);

    struct ControlerDataPrivate;
    std::unique_ptr<ControlerDataPrivate> d;
};
