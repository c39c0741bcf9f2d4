// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QUndoStack;

// The undo history of one screen's edits in this session. An edit is recorded after it was made,
// as the two functions that take it back and make it again; the history never re-runs an edit
// when it is recorded.
class EditHistory : public QObject
{
    Q_OBJECT
public:
    explicit EditHistory(QObject *parent = nullptr);
    ~EditHistory() override;

    void record(const QString &text, std::function<void()> undo, std::function<void()> redo);
    bool canUndo() const;
    bool canRedo() const;
    int count() const;
    QUndoStack *stack() const;

public slots:
    void undo();
    void redo();

signals:
    void changed();

private:
    QUndoStack *m_stack = nullptr;
};
