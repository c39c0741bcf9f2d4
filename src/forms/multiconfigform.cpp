// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "multiconfigform.h"

#include "eiconwidget.h"

#include <QDir>
#include <QPainter>

MultiConfigForm::MultiConfigForm(QGraphicsItem *parent)
    : EGraphicsWidget(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
}

void MultiConfigForm::setBackgroundImage(const QString &path)
{
    m_background = QImage(path);
    m_scaled = QImage();
    update();
}

void MultiConfigForm::setEntries(const QList<QSharedPointer<MultiConfigurationEntry>> &entries,
                                 const QString &configurationFolder)
{
    qDeleteAll(m_icons);
    m_icons.clear();
    m_entries = entries;
    const QFont font = ECoreApp::instance()->font(6);
    for (const auto &entry : entries) {
        auto *icon = new EIconWidget(this);
        icon->setObjectName(entry->name);
        icon->setText(entry->caption);
        icon->setShowCaption(true);
        icon->setFont(font);
        icon->setEnabled(true);
        if (!entry->image.isEmpty())
            icon->setImage(QImage(configurationFolder + QDir::separator() + entry->image));
        icon->adjustToContents();
        connect(icon, &EBaseWidget::clicked, this, &MultiConfigForm::multiClick);
        m_icons.append(icon);
    }
    placeIcons();
}

EIconWidget *MultiConfigForm::entryIcon(const QString &name) const
{
    for (EIconWidget *icon : m_icons) {
        if (icon->objectName() == name)
            return icon;
    }
    return nullptr;
}

void MultiConfigForm::placeIcons()
{
    const QSizeF s = size();
    for (int i = 0; i < m_entries.size() && i < m_icons.size(); ++i)
        m_icons[i]->setPos(m_entries[i]->posX / 100.0 * s.width(),
                           m_entries[i]->posY / 100.0 * s.height());
}

void MultiConfigForm::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    m_scaled = QImage();
    placeIcons();
}

void MultiConfigForm::multiClick()
{
    if (auto *icon = qobject_cast<EIconWidget *>(sender()))
        emit selectedMultiSettings(icon->objectName());
}

void MultiConfigForm::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_background.isNull() || size().isEmpty())
        return;
    // Scaled once per size, not on every repaint.
    if (m_scaled.size() != size().toSize())
        m_scaled = m_background.scaled(size().toSize(), Qt::IgnoreAspectRatio,
                                       Qt::SmoothTransformation);
    painter->drawImage(QPointF(0, 0), m_scaled);
}
