// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "edithistory.h"

#include <QUndoStack>

namespace {
class RecordedEdit : public QUndoCommand
{
public:
    RecordedEdit(const QString &text, std::function<void()> undo, std::function<void()> redo)
        : QUndoCommand(text), m_undo(std::move(undo)), m_redo(std::move(redo))
    {
    }
    void undo() override
    {
        if (m_undo)
            m_undo();
    }
    void redo() override
    {
        // The stack calls redo() when the edit is recorded; it has been made already.
        if (m_first) {
            m_first = false;
            return;
        }
        if (m_redo)
            m_redo();
    }

private:
    std::function<void()> m_undo;
    std::function<void()> m_redo;
    bool m_first = true;
};

} // namespace

EditHistory::EditHistory(QObject *parent) : QObject(parent), m_stack(new QUndoStack(this))
{
    connect(m_stack, &QUndoStack::indexChanged, this, &EditHistory::changed);
}

EditHistory::~EditHistory() = default;

void EditHistory::record(const QString &text, std::function<void()> undo,
                         std::function<void()> redo)
{
    m_stack->push(new RecordedEdit(text, std::move(undo), std::move(redo)));
}

bool EditHistory::canUndo() const
{
    return m_stack->canUndo();
}

bool EditHistory::canRedo() const
{
    return m_stack->canRedo();
}

int EditHistory::count() const
{
    return m_stack->count();
}

QUndoStack *EditHistory::stack() const
{
    return m_stack;
}

void EditHistory::undo()
{
    m_stack->undo();
}

void EditHistory::redo()
{
    m_stack->redo();
}
