// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "adminaccess.h"

#include "adminpindialog.h"
#include "eappsettings.h"
#include "ecoreapp.h"

#include <QGraphicsWidget>

namespace {
// Kept on the application core, so that a configuration loaded anew (a new core) starts locked.
const char *const kUnlockedProperty = "verandixAdminUnlocked";
const char *const kDialogName = "adminPinDialog";

QString pin()
{
    return ECoreApp::instance()->settings().optionalValue(QStringLiteral("admin_pin")).trimmed();
}
} // namespace

namespace AdminAccess {

bool hasPin()
{
    return !pin().isEmpty();
}

bool isUnlocked()
{
    return !hasPin() || ECoreApp::instance()->property(kUnlockedProperty).toBool();
}

void lock()
{
    ECoreApp::instance()->setProperty(kUnlockedProperty, false);
}

void request(QGraphicsWidget *over, std::function<void()> then)
{
    if (isUnlocked()) {
        then();
        return;
    }
    if (!over)
        return;
    // One question at a time: a second tap while the panel is up asks nothing new.
    if (openPanel(over))
        return;
    auto *dialog = new AdminPinDialog(over);
    dialog->setObjectName(QLatin1String(kDialogName));
    dialog->setZValue(100);
    dialog->setGeometry(over->rect());
    QObject::connect(dialog, &AdminPinDialog::accepted, over, [dialog, then] {
        ECoreApp::instance()->setProperty(kUnlockedProperty, true);
        dialog->deleteLater();
        then();
    });
    QObject::connect(dialog, &AdminPinDialog::rejected, dialog, &QObject::deleteLater);
    dialog->ask(pin());
}

AdminPinDialog *openPanel(const QGraphicsWidget *over)
{
    if (!over)
        return nullptr;
    // The panel is a child item of the screen (graphics items, not QObject children).
    for (QGraphicsItem *item : over->childItems()) {
        auto *dialog = qobject_cast<AdminPinDialog *>(item->toGraphicsObject());
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace AdminAccess
