// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "ecoreapp.h"
#include "egraphicswidget.h"

#include <QImage>

class EIconWidget;

// The configuration selector: one picture with an icon per configuration of multi.xml, placed in
// percent of the page; a click asks for that configuration to be loaded.
class MultiConfigForm : public EGraphicsWidget
{
    Q_OBJECT
public:
    explicit MultiConfigForm(QGraphicsItem *parent = nullptr);

    // Path of the picture drawn over the whole page; a missing file draws nothing.
    void setBackgroundImage(const QString &path);
    void setEntries(const QList<QSharedPointer<MultiConfigurationEntry>> &entries,
                    const QString &configurationFolder);
    int entryCount() const { return m_entries.size(); }
    EIconWidget *entryIcon(const QString &name) const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

signals:
    void selectedMultiSettings(const QString &settingsId);

public slots:
    void multiClick();

protected:
    void geometryUpdated() override;

private:
    void placeIcons();

    QList<QSharedPointer<MultiConfigurationEntry>> m_entries;
    QList<EIconWidget *> m_icons;
    QImage m_background;
    QImage m_scaled;
};
