// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "egraphicswidget.h"

class ELabelWidget;
class EProgressWidget;

// The page shown while a configuration loads: the product name, a progress bar the main window
// drives, and the problems met while loading, so that a broken project says why it looks empty.
class LoadScreenForm : public EGraphicsWidget
{
    Q_OBJECT
public:
    explicit LoadScreenForm(QGraphicsItem *parent = nullptr);

    int progress() const;
    void setProgress(int value);
    // A message under the progress bar (a loading problem); empty hides it.
    void setMessage(const QString &text);
    QString message() const;

private:
    EProgressWidget *m_progress = nullptr;
    ELabelWidget *m_message = nullptr;
};
