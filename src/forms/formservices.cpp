// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "formservices.h"

#include "controlerdata.h"
#include "eaudioplayer.h"
#include "ecoreapp.h"
#include "elocale.h"
#include "linkcommands.h"
#include "roomsv1.h"

namespace FormServices {

RoomsV1 *rooms()
{
    return qobject_cast<RoomsV1 *>(ECoreApp::instance()->projectModelObject());
}

ControlerData *link()
{
    return qobject_cast<ControlerData *>(ECoreApp::instance()->controllerObject());
}

EAudioPlayer *audioPlayer()
{
    return qobject_cast<EAudioPlayer *>(ECoreApp::instance()->audioPlayerObject());
}

LinkCommands *linkCommands(QObject *link)
{
    if (auto *commands = qobject_cast<LinkCommands *>(link))
        return commands;
    if (auto *controller = qobject_cast<ControlerData *>(link))
        return &controller->commands();
    return nullptr;
}

QString text(int id)
{
    ELocale *locale = ECoreApp::instance()->locale();
    return locale ? locale->text(id) : QString();
}

QString logFolder()
{
    ECoreApp *app = ECoreApp::instance();
    const QString folder = app->configurationFolder();
    if (folder.startsWith(QLatin1Char(':')) || app->startMode() == StartMode::Demo)
        return app->workingFolder();
    return folder;
}

} // namespace FormServices
