// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "etablewidget.h"

#include "estatictext.h"
#include "etableitem.h"
#include "toolkitconstants.h"
#include "toolkitstyle.h"

#include <QFontMetricsF>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsSceneWheelEvent>
#include <QPainter>
#include <QPointer>
#include <QVector>

#include <cmath>

namespace {
// Columns and rows are capped: a table here lists alarm messages, and a bad count from a caller
// must not allocate without bound.
constexpr int kMaxColumns = 64;
constexpr int kMaxRows = 100000;
} // namespace

struct ETableWidgetPrivate
{
    int columns = 0;
    QVector<QVector<ETableItem *>> rows;
    QVector<bool> rowHidden;
    QVector<qreal> widthSetting; // <= 0: stretch
    QVector<bool> columnHidden;
    QStringList headers;
    QVector<EStaticText> headerTexts;
    bool headerVisible = true;
    qreal rowHeight = 32;
    qreal scroll = 0;
    QColor textColor = EStyle::color(EStyle::kInk);
    QPen textPen = QPen(EStyle::color(EStyle::kInk));
    QPen headerPen = QPen(EStyle::color(EStyle::kPaper));
    QPen gridPen = QPen(QColor(0x24, 0x32, 0x44, 28), 1);
    QPen borderPen = QPen(EStyle::color(EStyle::kFieldBorder), 1);
    QBrush background = QBrush(QColor(255, 255, 255, 235));
    QBrush headerBrush = QBrush(EStyle::color(EStyle::kSurface));
    QBrush altBrush = QBrush(EStyle::color(EStyle::kRowAlt));
    QBrush pressBrush = QBrush(EStyle::color(EStyle::kSelection));

    // Gesture.
    bool tracking = false;
    bool scrolling = false;
    QPointF pressPos;
    qreal scrollAtPress = 0;
    int pressRow = -1;
    int pressColumn = -1;

    // Layout, rebuilt lazily after any change.
    mutable bool dirty = true;
    mutable QVector<qreal> colLeft;
    mutable QVector<qreal> colWidth;
    mutable QVector<int> visibleRows; // table row of each shown line
    mutable QVector<int> lineOfRow;   // shown line of each table row, -1 when hidden

    qreal headerHeight() const { return headerVisible ? rowHeight : 0; }
};

ETableWidget::ETableWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ETableWidgetPrivate>())
{
    setFlag(ItemClipsToShape, true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFont(EStyle::font(EStyle::kCaptionFontPx + 1));
}

ETableWidget::~ETableWidget() = default; // items are QObject children

int ETableWidget::columnCount() const
{
    return d->columns;
}
int ETableWidget::rowCount() const
{
    return d->rows.size();
}
QStringList ETableWidget::headerTexts() const
{
    return d->headers;
}
bool ETableWidget::isHeaderVisible() const
{
    return d->headerVisible;
}
qreal ETableWidget::rowHeight() const
{
    return d->rowHeight;
}
QColor ETableWidget::colortext() const
{
    return d->textColor;
}
qreal ETableWidget::scrollOffset() const
{
    ensureLayout(); // hiding rows may have pulled the view back
    return d->scroll;
}

void ETableWidget::invalidate()
{
    d->dirty = true;
    update();
}

void ETableWidget::setColumnCount(int count)
{
    count = qBound(0, count, kMaxColumns);
    for (auto &row : d->rows) {
        for (int c = count; c < row.size(); ++c)
            delete row.at(c);
        row.resize(count);
    }
    d->columns = count;
    d->widthSetting.resize(count);
    d->columnHidden.resize(count);
    d->headerTexts.resize(count);
    while (d->headers.size() < count)
        d->headers.append(QString());
    while (d->headers.size() > count)
        d->headers.removeLast();
    for (int c = 0; c < count; ++c) {
        d->headerTexts[c].setFont(font());
        d->headerTexts[c].setText(d->headers.at(c));
        d->headerTexts[c].setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    invalidate();
}

void ETableWidget::setRowCount(int count)
{
    count = qBound(0, count, kMaxRows);
    while (d->rows.size() > count)
        removeRow(d->rows.size() - 1);
    while (d->rows.size() < count) {
        d->rows.append(QVector<ETableItem *>(d->columns, nullptr));
        d->rowHidden.append(false);
    }
    invalidate();
}

void ETableWidget::adopt(ETableItem *item, int row, int column)
{
    item->setParent(this);
    item->setPosition(row, column);
    item->staticText().setFont(font());
    connect(
        item, &ETableItem::changed, this, [this] { update(); }, Qt::UniqueConnection);
}

void ETableWidget::setItem(int row, int column, ETableItem *item)
{
    if (row < 0 || row >= d->rows.size() || column < 0 || column >= d->columns) {
        Q_ASSERT_X(false, "ETableWidget::setItem", "cell out of range");
        delete item; // the table was given ownership either way
        return;
    }
    ETableItem *&cell = d->rows[row][column];
    if (cell == item)
        return;
    delete cell;
    cell = item;
    if (item)
        adopt(item, row, column);
    update();
}

ETableItem *ETableWidget::item(int row, int column) const
{
    if (row < 0 || row >= d->rows.size() || column < 0 || column >= d->columns)
        return nullptr;
    return d->rows.at(row).at(column);
}

int ETableWidget::appendRow(const QList<ETableItem *> &items)
{
    if (d->rows.size() >= kMaxRows) {
        qDeleteAll(items);
        return -1;
    }
    const int row = d->rows.size();
    d->rows.append(QVector<ETableItem *>(d->columns, nullptr));
    d->rowHidden.append(false);
    for (int c = 0; c < items.size(); ++c) {
        if (c < d->columns && items.at(c)) {
            d->rows[row][c] = items.at(c);
            adopt(items.at(c), row, c);
        } else {
            delete items.at(c);
        }
    }
    invalidate();
    return row;
}

void ETableWidget::removeRow(int row)
{
    if (row < 0 || row >= d->rows.size())
        return;
    qDeleteAll(d->rows.at(row));
    d->rows.removeAt(row);
    d->rowHidden.removeAt(row);
    if (d->pressRow == row)
        d->pressRow = -1;
    renumber(row);
    invalidate();
}

void ETableWidget::clearRows()
{
    for (const auto &row : qAsConst(d->rows))
        qDeleteAll(row);
    d->rows.clear();
    d->rowHidden.clear();
    d->pressRow = -1;
    d->scroll = 0;
    invalidate();
}

void ETableWidget::renumber(int fromRow)
{
    for (int r = fromRow; r < d->rows.size(); ++r) {
        for (int c = 0; c < d->columns; ++c) {
            if (ETableItem *it = d->rows.at(r).at(c))
                it->setPosition(r, c);
        }
    }
}

void ETableWidget::setHeaderTexts(const QStringList &texts)
{
    if (texts.size() > d->columns)
        setColumnCount(texts.size());
    for (int c = 0; c < d->columns; ++c)
        setHeaderText(c, texts.value(c));
}

void ETableWidget::setHeaderText(int column, const QString &text)
{
    if (column < 0 || column >= d->columns)
        return;
    d->headers[column] = text;
    d->headerTexts[column].setText(text);
    update();
}

void ETableWidget::setHeaderVisible(bool visible)
{
    d->headerVisible = visible;
    invalidate();
}

void ETableWidget::setColumnWidth(int column, qreal width)
{
    if (column < 0 || column >= d->columns)
        return;
    d->widthSetting[column] = width;
    invalidate();
}

void ETableWidget::setColumnHidden(int column, bool hidden)
{
    if (column < 0 || column >= d->columns)
        return;
    d->columnHidden[column] = hidden;
    invalidate();
}

bool ETableWidget::isColumnHidden(int column) const
{
    return column >= 0 && column < d->columns && d->columnHidden.at(column);
}

void ETableWidget::setRowHidden(int row, bool hidden)
{
    if (row < 0 || row >= d->rows.size() || d->rowHidden.at(row) == hidden)
        return;
    d->rowHidden[row] = hidden;
    invalidate();
}

bool ETableWidget::isRowHidden(int row) const
{
    return row >= 0 && row < d->rows.size() && d->rowHidden.at(row);
}

void ETableWidget::setRowHeight(qreal height)
{
    d->rowHeight = qMax<qreal>(8, height);
    invalidate();
}

void ETableWidget::setColortext(const QColor &color)
{
    d->textColor = color;
    d->textPen.setColor(color);
    update();
}

qreal ETableWidget::maxScrollOffset() const
{
    ensureLayout();
    const qreal content = d->visibleRows.size() * d->rowHeight;
    const qreal view = innerRect().height() - d->headerHeight();
    return qMax<qreal>(0, content - view);
}

void ETableWidget::setScrollOffset(qreal offset)
{
    if (!std::isfinite(offset))
        return;
    offset = qBound<qreal>(0, offset, maxScrollOffset());
    if (offset == d->scroll)
        return;
    d->scroll = offset;
    update();
}

void ETableWidget::ensureLayout() const
{
    if (!d->dirty)
        return;
    d->dirty = false;
    const QRectF inner = innerRect();
    d->colLeft.resize(d->columns);
    d->colWidth.resize(d->columns);
    qreal fixed = 0;
    int stretching = 0;
    for (int c = 0; c < d->columns; ++c) {
        if (d->columnHidden.at(c))
            continue;
        if (d->widthSetting.at(c) > 0)
            fixed += d->widthSetting.at(c);
        else
            ++stretching;
    }
    const qreal share = stretching ? qMax<qreal>(0, inner.width() - fixed) / stretching : 0;
    qreal x = inner.left();
    for (int c = 0; c < d->columns; ++c) {
        const qreal w = d->columnHidden.at(c)       ? 0
                        : d->widthSetting.at(c) > 0 ? d->widthSetting.at(c)
                                                    : share;
        d->colLeft[c] = x;
        d->colWidth[c] = w;
        x += w;
        d->headerTexts[c].setRect(QRectF(6, 0, qMax<qreal>(0, w - 12), d->rowHeight));
    }
    d->visibleRows.clear();
    d->lineOfRow.fill(-1, d->rows.size());
    for (int r = 0; r < d->rows.size(); ++r) {
        if (!d->rowHidden.at(r)) {
            d->lineOfRow[r] = d->visibleRows.size();
            d->visibleRows.append(r);
        }
    }
    // Hiding rows may leave the view past the end.
    const qreal content = d->visibleRows.size() * d->rowHeight;
    d->scroll =
        qBound<qreal>(0, d->scroll, qMax<qreal>(0, content - (inner.height() - d->headerHeight())));
}

QRectF ETableWidget::cellRect(int row, int column) const
{
    ensureLayout();
    if (row < 0 || row >= d->rows.size() || column < 0 || column >= d->columns)
        return QRectF();
    const int line = d->lineOfRow.at(row);
    if (line < 0 || d->colWidth.at(column) <= 0)
        return QRectF();
    const QRectF inner = innerRect();
    return QRectF(d->colLeft.at(column),
                  inner.top() + d->headerHeight() + line * d->rowHeight - d->scroll,
                  d->colWidth.at(column), d->rowHeight);
}

QPoint ETableWidget::cellAt(const QPointF &pos) const
{
    ensureLayout();
    const QRectF inner = innerRect();
    const qreal y = pos.y() - inner.top() - d->headerHeight();
    if (y < 0 || !inner.contains(pos))
        return QPoint(-1, -1);
    const int line = int((y + d->scroll) / d->rowHeight);
    if (line < 0 || line >= d->visibleRows.size())
        return QPoint(-1, -1);
    for (int c = 0; c < d->columns; ++c) {
        if (d->colWidth.at(c) > 0 && pos.x() >= d->colLeft.at(c) &&
            pos.x() < d->colLeft.at(c) + d->colWidth.at(c))
            return QPoint(c, d->visibleRows.at(line));
    }
    return QPoint(-1, -1);
}

void ETableWidget::geometryUpdated()
{
    invalidate();
}

void ETableWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        for (auto &t : d->headerTexts)
            t.setFont(font());
        for (const auto &row : qAsConst(d->rows))
            for (ETableItem *it : row)
                if (it)
                    it->staticText().setFont(font());
        update();
    }
    EGraphicsWidget::changeEvent(event);
}

void ETableWidget::activate(int row, int column)
{
    emit cellClicked(row, column);
    ETableItem *it = item(row, column);
    if (!it)
        return;
    // Either signal may lead a screen to rebuild the table; the item is checked after each.
    QPointer<ETableItem> guard(it);
    emit it->clicked();
    if (!guard || it->type() != ETableItem::Check || !it->isEditable())
        return;
    const bool value = !it->isChecked();
    it->setChecked(value);
    emit it->valuechanged(value);
    if (!guard)
        return;
    emit cellItemChanged(it, row, column, value);
}

void ETableWidget::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    const QPoint cell = cellAt(event->pos());
    d->tracking = true;
    d->scrolling = false;
    d->pressPos = event->pos();
    d->scrollAtPress = d->scroll;
    d->pressRow = cell.y();
    d->pressColumn = cell.x();
    update();
}

void ETableWidget::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!d->tracking)
        return;
    const qreal dy = event->pos().y() - d->pressPos.y();
    if (!d->scrolling) {
        if (std::abs(dy) < EToolkit::kFlickThreshold || maxScrollOffset() <= 0)
            return;
        d->scrolling = true;
        d->pressRow = d->pressColumn = -1;
    }
    setScrollOffset(d->scrollAtPress - dy);
    update();
}

void ETableWidget::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->tracking)
        return;
    d->tracking = false;
    const int row = d->pressRow;
    const int column = d->pressColumn;
    d->pressRow = d->pressColumn = -1;
    update();
    if (d->scrolling || row < 0)
        return;
    // The finger must lift on the cell it went down on.
    const QPoint cell = cellAt(event->pos());
    if (cell.y() == row && cell.x() == column)
        activate(row, column);
}

void ETableWidget::ungrabMouseEvent(QEvent *event)
{
    d->tracking = d->scrolling = false;
    d->pressRow = d->pressColumn = -1;
    update();
    EGraphicsWidget::ungrabMouseEvent(event);
}

void ETableWidget::wheelEvent(QGraphicsSceneWheelEvent *event)
{
    setScrollOffset(d->scroll - event->delta() / 120.0 * d->rowHeight);
    event->accept();
}

void ETableWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    ensureLayout();
    const QRectF inner = innerRect();
    const bool enabled = isEnabled();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(d->borderPen);
    painter->setBrush(d->background);
    painter->drawRoundedRect(rect().adjusted(0.5, 0.5, -0.5, -0.5), EStyle::kRadius,
                             EStyle::kRadius);

    painter->save();
    const QRectF body(inner.left(), inner.top() + d->headerHeight(), inner.width(),
                      qMax<qreal>(0, inner.height() - d->headerHeight()));
    painter->setClipRect(body);
    painter->setRenderHint(QPainter::Antialiasing, false);
    const int firstLine = qMax(0, int(d->scroll / d->rowHeight));
    const int lastLine =
        qMin<int>(d->visibleRows.size() - 1, int((d->scroll + body.height()) / d->rowHeight));
    for (int line = firstLine; line <= lastLine; ++line) {
        const int r = d->visibleRows.at(line);
        const qreal y = body.top() + line * d->rowHeight - d->scroll;
        const QRectF rowRect(inner.left(), y, inner.width(), d->rowHeight);
        if (line % 2)
            painter->fillRect(rowRect, d->altBrush);
        if (r == d->pressRow)
            painter->fillRect(rowRect, d->pressBrush);
        for (int c = 0; c < d->columns; ++c) {
            const qreal w = d->colWidth.at(c);
            ETableItem *it = d->rows.at(r).at(c);
            if (w <= 0 || !it)
                continue;
            const QRectF cell(d->colLeft.at(c), y, w, d->rowHeight);
            switch (it->type()) {
            case ETableItem::Text: {
                EStaticText &t = it->staticText();
                t.setRect(QRectF(cell.left() + 6, 0, qMax<qreal>(0, w - 12), d->rowHeight));
                painter->setPen(it->textColor().isValid() ? QPen(it->textColor()) : d->textPen);
                t.draw(painter, QPointF(0, y));
                break;
            }
            case ETableItem::Image: {
                const QSize box = cell.size().toSize() - QSize(6, 6);
                const QPixmap pm = it->pixmapFor(box);
                if (!pm.isNull())
                    painter->drawPixmap(QPointF(cell.center().x() - pm.width() / 2.0,
                                                cell.center().y() - pm.height() / 2.0),
                                        pm);
                break;
            }
            case ETableItem::Check: {
                EStyle::States s = it->isChecked() ? EStyle::Checked : EStyle::Normal;
                if (!enabled || !it->isEditable())
                    s |= EStyle::Disabled;
                if (r == d->pressRow && c == d->pressColumn)
                    s |= EStyle::Pressed;
                painter->setRenderHint(QPainter::Antialiasing, true);
                EStyle::drawCheckIndicator(painter, cell, s, false);
                painter->setRenderHint(QPainter::Antialiasing, false);
                break;
            }
            }
        }
        painter->setPen(d->gridPen);
        painter->drawLine(QPointF(inner.left(), y + d->rowHeight - 0.5),
                          QPointF(inner.right(), y + d->rowHeight - 0.5));
    }
    painter->restore();

    if (d->headerVisible && d->columns > 0) {
        painter->save();
        const QRectF header(inner.left(), inner.top(), inner.width(), d->rowHeight);
        painter->setClipRect(header);
        painter->setPen(Qt::NoPen);
        painter->setBrush(d->headerBrush);
        // Rounded on top only: the bottom corners run square into the rows.
        painter->drawRoundedRect(header.adjusted(0, 0, 0, EStyle::kRadius), EStyle::kRadius,
                                 EStyle::kRadius);
        painter->setPen(d->headerPen);
        for (int c = 0; c < d->columns; ++c) {
            if (d->colWidth.at(c) > 0)
                d->headerTexts.at(c).draw(painter, QPointF(d->colLeft.at(c), header.top()));
        }
        painter->restore();
    }
}
