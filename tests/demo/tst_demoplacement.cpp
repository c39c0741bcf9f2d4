// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The demo home opens with the editing tools on, so every page of it must leave the corners where
// the edit toolbox and the undo and redo arrows float free, and the home page's buttons must not
// cover one another. Checked on real room screens at the sizes a window gives them.
#include "basecontrolv1.h"
#include "demofolder.h"
#include "ebasewidget.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "extroomformv1.h"
#include "exttoolboxwidget.h"
#include "floorstructv1.h"
#include "formservices.h"
#include "mainstructv1.h"
#include "roomrecordinglink.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "screentestsupport.h"

#include <QGraphicsScene>
#include <QtTest>

namespace {

// Sub-page buttons of a root or floor page, by runtime id.
QStringList subPageIds(BaseRoomV1 *page)
{
    QStringList ids;
    if (auto *root = dynamic_cast<MainStructV1 *>(page)) {
        for (FloorStructV1 *f : root->floors())
            ids << f->runtimeId();
    } else if (auto *floor = dynamic_cast<FloorStructV1 *>(page)) {
        for (RoomStructV1 *r : floor->rooms())
            ids << r->runtimeId();
    }
    return ids;
}

} // namespace

class tst_DemoPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editToolsCoverNothing_data();
    void editToolsCoverNothing();
    void placedItemsStayApartOnScreen_data();
    void placedItemsStayApartOnScreen();

private:
    ExtRoomFormV1 *showPage(BaseRoomV1 *page, const QSizeF &size);
    // Visible items of the page on its plan with their scene rectangles and names.
    QList<QPair<QString, QRectF>> itemsOf(BaseRoomV1 *page, ExtRoomFormV1 *form) const;

    ScreenFixture *m_fx = nullptr;
    RoomRecordingLink *m_link = nullptr;
    // Weather and camera tiles go on the network once shown; here they reach this silent server.
    SilentServer m_silent;
};

void tst_DemoPlacement::initTestCase()
{
    QVERIFY(m_silent.listen());
}

void tst_DemoPlacement::init()
{
    m_fx = new ScreenFixture;
    m_link = new RoomRecordingLink;
    QVERIFY(m_fx->loadDemo());
    m_silent.takeCameras();
}

void tst_DemoPlacement::cleanup()
{
    delete m_fx;
    m_fx = nullptr;
    delete m_link;
    m_link = nullptr;
    m_silent.dropConnections();
}

ExtRoomFormV1 *tst_DemoPlacement::showPage(BaseRoomV1 *page, const QSizeF &size)
{
    auto *form = new ExtRoomFormV1(page);
    form->setLink(m_link);
    m_fx->view()->scene()->addItem(form);
    form->setGeometry(QRectF(QPointF(0, 0), size));
    form->hide();
    form->show();
    QCoreApplication::processEvents();
    return form;
}

QList<QPair<QString, QRectF>> tst_DemoPlacement::itemsOf(BaseRoomV1 *page,
                                                         ExtRoomFormV1 *form) const
{
    QList<QPair<QString, QRectF>> items;
    QStringList ids = subPageIds(page);
    for (BaseControlV1 *c : page->controls())
        ids << c->runtimeId();
    for (const QString &id : ids) {
        EBaseWidget *w = form->widgetById(id);
        if (!w || !w->isVisible())
            continue;
        BaseControlV1 *c = page->controlById(id);
        const QString name = c ? c->textB() + QLatin1Char('/') + c->name() : id;
        // A part laid out beyond the widget's own frame (a caption pushed out) counts too.
        items << qMakePair(
            name, w->sceneBoundingRect().united(w->mapRectToScene(w->childrenBoundingRect())));
    }
    return items;
}

// Room screen sizes: the window's content height less the top bar, at the logical width the
// window's shape gives (contents of windows above 1024 x 768 are drawn 768 high and scaled).
void tst_DemoPlacement::editToolsCoverNothing_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::newRow("1024x700 window") << QSizeF(1024, 640);
    QTest::newRow("1024x768 window") << QSizeF(1024, 708);
    QTest::newRow("1280x800 window") << QSizeF(768.0 * 1280 / 800, 708);
}

void tst_DemoPlacement::editToolsCoverNothing()
{
    QFETCH(QSizeF, size);
    QStringList covered;
    int checked = 0;
    for (BaseRoomV1 *page : FormServices::rooms()->pages()) {
        ExtRoomFormV1 *form = showPage(page, size);
        QVERIFY(form->toolbox()->isVisible());
        QVERIFY(form->undoButton()->isVisible() && form->redoButton()->isVisible());
        const QList<QPair<QString, QRectF>> tools = {
            {QStringLiteral("toolbox"), form->toolbox()->sceneBoundingRect()},
            {QStringLiteral("undo"), form->undoButton()->sceneBoundingRect()},
            {QStringLiteral("redo"), form->redoButton()->sceneBoundingRect()}};
        for (const auto &item : itemsOf(page, form)) {
            ++checked;
            for (const auto &tool : tools) {
                if (tool.second.intersects(item.second))
                    covered << DemoFolder::describe(page) + QStringLiteral(": ") + item.first +
                                   DemoFolder::describe(item.second) + QStringLiteral(" under ") +
                                   tool.first + DemoFolder::describe(tool.second);
            }
        }
        delete form;
    }
    QVERIFY(checked > 100);
    for (const QString &line : qAsConst(covered))
        qWarning().noquote() << line;
    QVERIFY2(covered.isEmpty(), "items under the editing tools, listed above");
}

void tst_DemoPlacement::placedItemsStayApartOnScreen_data()
{
    editToolsCoverNothing_data();
}

// The home page and the further subsystems are laid out by hand; the lighting and heating pages
// follow the house plan, where a lamp's caption may touch a switch beside it.
void tst_DemoPlacement::placedItemsStayApartOnScreen()
{
    QFETCH(QSizeF, size);
    QStringList problems;
    int pages = 0;
    for (BaseRoomV1 *page : FormServices::rooms()->pages()) {
        if (page->systemType() == BaseRoomV1::LightSystem ||
            page->systemType() == BaseRoomV1::HeatSystem)
            continue;
        ++pages;
        ExtRoomFormV1 *form = showPage(page, size);
        const QRectF plan = form->plan()->sceneBoundingRect();
        const QList<QPair<QString, QRectF>> items = itemsOf(page, form);
        const QString where = DemoFolder::describe(page) + QStringLiteral(": ");
        for (int i = 0; i < items.size(); ++i) {
            const auto &a = items.at(i);
            if (!plan.contains(a.second))
                problems << where + a.first + DemoFolder::describe(a.second) +
                                QStringLiteral(" runs off the plan ") + DemoFolder::describe(plan);
            for (int j = i + 1; j < items.size(); ++j) {
                const auto &b = items.at(j);
                if (a.second.intersects(b.second))
                    problems << where + a.first + DemoFolder::describe(a.second) +
                                    QStringLiteral(" and ") + b.first +
                                    DemoFolder::describe(b.second);
            }
        }
        delete form;
    }
    QVERIFY(pages > 10);
    for (const QString &line : qAsConst(problems))
        qWarning().noquote() << line;
    QVERIFY2(problems.isEmpty(), "items overlap or run off the plan, listed above");
}

QTEST_MAIN(tst_DemoPlacement)
#include "tst_demoplacement.moc"
