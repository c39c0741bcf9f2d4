// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// Every fixed screen of the demo home at the sizes of small wall panels and desktop windows, in
// each language: no button, field, check box or list may cover another one, and each must lie on
// the visible page or inside a scrolling area's content, where the finger can bring it into view.
#include "adminaccess.h"
#include "adminpindialog.h"
#include "cameracontrolv1.h"
#include "controlconstants.h"
#include "demofolder.h"
#include "eappsettings.h"
#include "ebasewidget.h"
#include "ecoreapp.h"
#include "eflickable.h"
#include "egroupboxwidget.h"
#include "elocale.h"
#include "enumericwidget.h"
#include "esliderwidget.h"
#include "espinwidget.h"
#include "estackwidget.h"
#include "etablewidget.h"
#include "etextedit.h"
#include "exttoolboxwidget.h"
#include "exttoolwidget.h"
#include "extroomformv1.h"
#include "unisettings.h"
#include "formservices.h"
#include "historyform.h"
#include "lazyroompage.h"
#include "loadscreenform.h"
#include "maincontentform.h"
#include "maincontentworker.h"
#include "multiconfigform.h"
#include "roomsv1.h"
#include "screentestsupport.h"
#include "splashform.h"

#include <QGraphicsScene>
#include <QSignalSpy>
#include <QtTest>

namespace {

const qreal kTopBarHeight = 60;
// Rounding of fractional layouts; a shared edge is no overlap.
const qreal kSlack = 0.5;

bool isInteractive(QGraphicsItem *item)
{
    QGraphicsObject *o = item->toGraphicsObject();
    return o && (qobject_cast<EBaseWidget *>(o) || qobject_cast<ENumericWidget *>(o) ||
                 qobject_cast<ESliderWidget *>(o) || qobject_cast<ESpinWidget *>(o) ||
                 qobject_cast<ETableWidget *>(o) || qobject_cast<ETextEdit *>(o));
}

QString nameOf(QGraphicsItem *item)
{
    QString name;
    if (QGraphicsObject *o = item->toGraphicsObject()) {
        name = QString::fromLatin1(o->metaObject()->className());
        if (!o->objectName().isEmpty())
            name += QLatin1Char('#') + o->objectName();
        if (auto *b = qobject_cast<EBaseWidget *>(o)) {
            if (!b->text().isEmpty())
                name += QStringLiteral(" \"") + b->text().simplified() + QLatin1Char('"');
        }
    }
    return name;
}

bool within(const QRectF &inner, const QRectF &outer)
{
    return outer.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(inner);
}

bool overlap(const QRectF &a, const QRectF &b)
{
    const QRectF common = a.intersected(b);
    return common.width() > kSlack && common.height() > kSlack;
}

struct Found
{
    QString name;
    QRectF rect;
    // Items are compared only with items of the same scrolling area (or of none).
    int area = 0;
    QRectF reachable;
    // The frame of the group the item belongs to; a field sticking out of it lies over whatever
    // is next to the group.
    QRectF group;
};

// Interactive items under root with the area that a person can bring on screen for each.
class Walker
{
public:
    static constexpr int kFloating = -1;

    QList<Found> found;
    QStringList problems;

    void walk(QGraphicsItem *item, int area, const QRectF &reachable, const QRectF &group = {})
    {
        for (QGraphicsItem *child : item->childItems()) {
            if (!child->isVisible())
                continue;
            const QRectF rect = child->sceneBoundingRect();
            // The edit tools float at the edges of the part in view of a screen that scrolls:
            // what lies under them is scrolled out from under them (tst_demoplacement keeps
            // them clear of the demo's controls where nothing scrolls). They are compared with
            // one another only.
            QGraphicsObject *floating = child->toGraphicsObject();
            if (floating && floating->property(RoomFormV1::floatingProperty()).toBool()) {
                if (isInteractive(child))
                    found << Found{nameOf(child), rect, kFloating, reachable, group};
                else
                    walk(child, kFloating, reachable, group);
                continue;
            }
            if (isInteractive(child)) {
                if (!rect.isEmpty())
                    found << Found{nameOf(child), rect, area, reachable, group};
                continue;
            }
            QGraphicsObject *o = child->toGraphicsObject();
            if (auto *flick = qobject_cast<EFlickable *>(o)) {
                if (!within(rect, reachable))
                    problems << QStringLiteral("scrolling area ") + DemoFolder::describe(rect) +
                                    QStringLiteral(" outside ") + DemoFolder::describe(reachable);
                QGraphicsItem *content = flick->contentItem();
                if (!content)
                    continue;
                const QRectF contentRect =
                    content->mapRectToScene(QRectF(QPointF(), flick->contentSize()));
                walk(content, ++m_areas, contentRect);
                continue;
            }
            QRectF inner = reachable;
            if (qobject_cast<EStackWidget *>(o) ||
                (child->flags() & QGraphicsItem::ItemClipsChildrenToShape))
                inner = inner.intersected(rect);
            walk(child, area, inner, qobject_cast<EGroupBoxWidget *>(o) ? rect : group);
        }
    }

    void check(const QString &where)
    {
        for (int i = 0; i < found.size(); ++i) {
            const Found &a = found.at(i);
            if (!within(a.rect, a.reachable))
                problems << where + a.name + DemoFolder::describe(a.rect) +
                                QStringLiteral(" cannot be reached in ") +
                                DemoFolder::describe(a.reachable);
            if (!a.group.isNull() && !within(a.rect, a.group))
                problems << where + a.name + DemoFolder::describe(a.rect) +
                                QStringLiteral(" sticks out of its group ") +
                                DemoFolder::describe(a.group);
            for (int j = i + 1; j < found.size(); ++j) {
                const Found &b = found.at(j);
                if (a.area == b.area && overlap(a.rect, b.rect))
                    problems << where + a.name + DemoFolder::describe(a.rect) +
                                    QStringLiteral(" covers ") + b.name +
                                    DemoFolder::describe(b.rect);
            }
        }
    }

private:
    int m_areas = 0;
};

void settle()
{
    // Layouts activate in posted events, a relayout may post another round.
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace

class tst_ScreenPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void fixedScreensAreUsable_data();
    void fixedScreensAreUsable();
    void startPagesAreUsable_data();
    void startPagesAreUsable();
    void editToolsStayInView_data();
    void editToolsStayInView();
    void pinPadIsUsable_data();
    void pinPadIsUsable();

private:
    // The pages a person reaches from the top bar and the home page, and the camera pages.
    QList<int> pagesToWalk() const;
    QStringList problemsOf(QGraphicsWidget *root, const QString &where) const;

    ScreenFixture *m_fx = nullptr;
    MainContentForm *m_content = nullptr;
    SilentServer m_silent;
};

void tst_ScreenPlacement::initTestCase()
{
    QVERIFY(m_silent.listen());
    m_fx = new ScreenFixture;
    QVERIFY(m_fx->loadDemo());
    // Camera and weather tiles go on the network once shown; here they reach the silent server.
    m_silent.takeCameras();
    // As the main window does for the demo's 1024 x 700 window: plans keep the page it gives.
    const EAppSettings &settings = ECoreApp::instance()->settings();
    LazyRoomPage::setSmallestFormSize(
        QSizeF(settings.value(EAppSettings::Width).toInt(),
               settings.value(EAppSettings::Height).toInt() - kTopBarHeight));
    m_content = new MainContentForm;
    m_fx->view()->scene()->addItem(m_content);
    m_content->resize(1024, 700);
    QSignalSpy finished(m_content, &MainContentForm::controlsFinished);
    m_content->createForms(FormServices::rooms());
    QVERIFY(finished.wait(30000));
}

void tst_ScreenPlacement::cleanupTestCase()
{
    delete m_content;
    delete m_fx;
    LazyRoomPage::setSmallestFormSize(QSizeF());
}

QList<int> tst_ScreenPlacement::pagesToWalk() const
{
    MainContentWorker *worker = m_content->worker();
    QList<int> pages;
    for (int i = 0; i <= MainContentWorker::kHomePage; ++i)
        pages << i;
    if (worker->historyPage() >= 0)
        pages << worker->historyPage();
    for (const MainContentWorker::PageRecord &record : worker->records()) {
        BaseRoomV1 *room = FormServices::rooms()->pageById(record.id);
        if (!room || pages.contains(record.stackIndex))
            continue;
        for (BaseControlV1 *c : room->controls()) {
            if (c->kind() == ControlConstants::KindIpCam ||
                c->kind() == ControlConstants::KindAVCam) {
                pages << record.stackIndex;
                break;
            }
        }
    }
    return pages;
}

QStringList tst_ScreenPlacement::problemsOf(QGraphicsWidget *root, const QString &where) const
{
    Walker walker;
    walker.walk(root, 0, root->sceneBoundingRect());
    walker.check(where);
    for (QString &line : walker.problems) {
        if (!line.startsWith(where))
            line.prepend(where);
    }
    return walker.problems;
}

// Window sizes of wall panels and desktops; with drawing mode "auto" the content is laid out at
// the window's own pixels up to 1024 x 768 and 768 high above.
static void addSizesAndLanguages()
{
    QTest::addColumn<QSizeF>("window");
    QTest::addColumn<QSizeF>("content");
    QTest::addColumn<QString>("language");
    const QList<QPair<QSizeF, QSizeF>> sizes = {
        {QSizeF(800, 480), QSizeF(800, 480)},
        {QSizeF(1024, 600), QSizeF(1024, 600)},
        {QSizeF(1024, 768), QSizeF(1024, 768)},
        {QSizeF(1280, 800), QSizeF(768.0 * 1280 / 800, 768)}};
    for (const auto &size : sizes) {
        for (const QString &language : {QStringLiteral("en_US"), QStringLiteral("ru_RU")}) {
            const QString name = QStringLiteral("%1x%2 %3")
                                     .arg(size.first.width())
                                     .arg(size.first.height())
                                     .arg(language);
            QTest::newRow(qPrintable(name)) << size.first << size.second << language;
        }
    }
}

void tst_ScreenPlacement::fixedScreensAreUsable_data()
{
    addSizesAndLanguages();
}

void tst_ScreenPlacement::fixedScreensAreUsable()
{
    QFETCH(QSizeF, content);
    QFETCH(QString, language);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    m_content->resize(content);
    EStackWidget *stack = m_content->stack();
    QStringList problems;
    const QList<int> pages = pagesToWalk();
    QVERIFY(pages.size() >= 9);
    for (int index : pages) {
        stack->setCurrentIndex(index);
        settle();
        QCOMPARE(stack->size().height(), content.height() - kTopBarHeight);
        const QString where =
            QStringLiteral("page %1 %2: ")
                .arg(index)
                .arg(QString::fromLatin1(stack->widget(index)->metaObject()->className()));
        problems << problemsOf(m_content, where);
    }
    stack->setCurrentIndex(MainContentWorker::kHomePage);
    settle();
    for (const QString &line : qAsConst(problems))
        qWarning().noquote() << line;
    QVERIFY2(problems.isEmpty(), "controls cover one another or cannot be reached, listed above");
}

void tst_ScreenPlacement::startPagesAreUsable_data()
{
    addSizesAndLanguages();
}

// The pages before a configuration is loaded: the splash is always laid out 480 high, the loading
// page and the selector at the window's size.
void tst_ScreenPlacement::startPagesAreUsable()
{
    QFETCH(QSizeF, window);
    QFETCH(QString, language);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    QStringList problems;
    QGraphicsScene *scene = m_fx->view()->scene();

    auto *splash = new SplashForm;
    scene->addItem(splash);
    splash->resize(480.0 * window.width() / window.height(), 480);
    auto *loading = new LoadScreenForm;
    scene->addItem(loading);
    loading->resize(window);
    auto *selector = new MultiConfigForm;
    scene->addItem(selector);
    selector->resize(window);
    settle();
    problems << problemsOf(splash, QStringLiteral("splash: "))
             << problemsOf(loading, QStringLiteral("loading: "))
             << problemsOf(selector, QStringLiteral("selector: "));
    delete splash;
    delete loading;
    delete selector;
    for (const QString &line : qAsConst(problems))
        qWarning().noquote() << line;
    QVERIFY2(problems.isEmpty(), "controls cover one another or cannot be reached, listed above");
}

void tst_ScreenPlacement::editToolsStayInView_data()
{
    addSizesAndLanguages();
}

namespace {
// Whether each line of an icon button's caption fits the box it is drawn in (else it is cut).
QString cutCaption(EIconWidget *button)
{
    const QRectF box = button->captionRect();
    const QFontMetricsF metrics(button->font());
    const QStringList lines = button->text().split(QLatin1Char('\n'));
    if (box.height() + kSlack < metrics.height() * lines.size())
        return QStringLiteral("\"%1\" has %2 lines in a box %3 high")
            .arg(button->text().simplified())
            .arg(lines.size())
            .arg(box.height());
    for (const QString &line : lines) {
        if (metrics.horizontalAdvance(line) > box.width())
            return QStringLiteral("\"%1\" is %2 wide in a box of %3")
                .arg(line)
                .arg(metrics.horizontalAdvance(line))
                .arg(box.width());
    }
    return QString();
}
} // namespace

// The installer's tools on a room screen larger than a small panel: wherever the plan is
// scrolled to, the toolbox shows whole in the part in view, and the properties dialog fits
// that part with every field and both buttons, captions uncut.
void tst_ScreenPlacement::editToolsStayInView()
{
    QFETCH(QSizeF, content);
    QFETCH(QString, language);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    m_content->resize(content);
    EStackWidget *stack = m_content->stack();
    // A lighting room with a lamp: the properties of a control and the tools of a plan page.
    LazyRoomPage *page = nullptr;
    BaseControlV1 *lamp = nullptr;
    for (const MainContentWorker::PageRecord &record : m_content->worker()->records()) {
        BaseRoomV1 *room = FormServices::rooms()->pageById(record.id);
        if (!room || room->systemType() != BaseRoomV1::LightSystem ||
            room->kind() != BaseRoomV1::KindRoom)
            continue;
        for (BaseControlV1 *c : room->controls()) {
            if (c->kind() == ControlConstants::KindLight && !c->isDeleted())
                lamp = c;
        }
        if (lamp) {
            stack->setCurrentIndex(record.stackIndex);
            page = qobject_cast<LazyRoomPage *>(stack->widget(record.stackIndex));
            break;
        }
    }
    QVERIFY(page && lamp);
    settle();
    ExtRoomFormV1 *form = page->form();
    QVERIFY(form && form->toolbox()->isVisible());
    QStringList problems;
    const QRectF view = page->scrollArea()->sceneBoundingRect();
    const QList<QPointF> corners{QPointF(0, 0), QPointF(1e6, 0), QPointF(0, 1e6),
                                 QPointF(1e6, 1e6)};
    // Each control of the page must come out from under the tools somewhere.
    QMap<QString, bool> clear;
    for (BaseControlV1 *c : page->room()->controls()) {
        if (!c->isDeleted() && form->widgetById(c->runtimeId()))
            clear.insert(c->runtimeId(), false);
    }
    for (const QPointF &corner : corners) {
        page->scrollArea()->setContentPosition(corner);
        settle();
        const QString where = QStringLiteral("scrolled to (%1, %2): ")
                                  .arg(page->scrollArea()->contentX())
                                  .arg(page->scrollArea()->contentY());
        ExtToolboxWidget *toolbox = form->toolbox();
        const QList<EBaseWidget *> tools{toolbox->addButton(), toolbox->deleteButton(),
                                         toolbox->propertiesButton(), form->undoButton(),
                                         form->redoButton()};
        for (EBaseWidget *tool : tools) {
            if (!within(tool->sceneBoundingRect(), view))
                problems << where + nameOf(tool) + DemoFolder::describe(tool->sceneBoundingRect()) +
                                QStringLiteral(" out of view ") + DemoFolder::describe(view);
        }
        for (auto it = clear.begin(); it != clear.end(); ++it) {
            const QRectF rect = form->widgetById(it.key())->sceneBoundingRect();
            bool covered = !view.contains(rect);
            for (EBaseWidget *tool : tools)
                covered = covered || overlap(rect, tool->sceneBoundingRect());
            it.value() = it.value() || !covered;
        }
    }
    for (auto it = clear.cbegin(); it != clear.cend(); ++it) {
        if (!it.value())
            problems << nameOf(form->widgetById(it.key())) +
                            QStringLiteral(" is under the edit tools or out of view wherever "
                                           "the plan is scrolled");
    }
    for (ExtToolWidget *tool :
         {form->toolbox()->addButton(), form->toolbox()->deleteButton(),
          form->toolbox()->propertiesButton()}) {
        const QString cut = cutCaption(tool);
        if (!cut.isEmpty())
            problems << QStringLiteral("toolbox: ") + cut;
    }

    // The dialog, opened with the plan scrolled to its far corner.
    page->scrollArea()->setContentPosition(QPointF(1e6, 1e6));
    form->ShowSettings();
    EBaseWidget *lampWidget = form->widgetById(lamp->runtimeId());
    QVERIFY(lampWidget);
    emit lampWidget->clicked();
    settle();
    UniSettings *panel = form->settingsPanel();
    QVERIFY(panel && panel->isVisible());
    Walker walker;
    walker.walk(panel, 0, view);
    walker.check(QStringLiteral("properties: "));
    problems << walker.problems;
    for (EBaseWidget *button : {panel->saveButton(), panel->cancelButton()}) {
        const QString cut = cutCaption(qobject_cast<EIconWidget *>(button));
        if (!cut.isEmpty())
            problems << QStringLiteral("properties: ") + cut;
    }
    panel->closeControls();
    page->scrollArea()->setContentPosition(QPointF(0, 0));
    stack->setCurrentIndex(MainContentWorker::kHomePage);
    settle();
    for (const QString &line : qAsConst(problems))
        qWarning().noquote() << line;
    QVERIFY2(problems.isEmpty(), "edit tools out of view or cut, listed above");
}

void tst_ScreenPlacement::pinPadIsUsable_data()
{
    addSizesAndLanguages();
}

// The PIN pad asked for over a room screen whose plan is larger than the window (the plans keep
// the demo's 1024 x 640 page and scroll): every key, OK and Cancel included, lies in the window,
// none covers another, and no caption is cut.
void tst_ScreenPlacement::pinPadIsUsable()
{
    QFETCH(QSizeF, content);
    QFETCH(QString, language);
    QVERIFY(ECoreApp::instance()->locale()->load(language));
    EAppSettings &settings = ECoreApp::instance()->settings();
    settings.setOptionalValue(QStringLiteral("admin_pin"), QStringLiteral("4711"));
    AdminAccess::lock();
    m_content->resize(content);
    EStackWidget *stack = m_content->stack();
    int roomPage = -1;
    for (const MainContentWorker::PageRecord &record : m_content->worker()->records()) {
        if (record.stackIndex >= MainContentWorker::kFirstRoomPage) {
            roomPage = record.stackIndex;
            break;
        }
    }
    QVERIFY(roomPage >= 0);
    stack->setCurrentIndex(roomPage);
    settle();
    ExtRoomFormV1 *room = m_content->worker()->roomForm(roomPage);
    QVERIFY(room);
    AdminAccess::request(room, [] {});
    AdminPinDialog *pad = AdminAccess::openPanel(room);
    QVERIFY(pad);
    settle();
    const QRectF window = m_content->sceneBoundingRect();
    QStringList problems;
    if (!within(pad->sceneBoundingRect(), window))
        problems << QStringLiteral("the pad ") + DemoFolder::describe(pad->sceneBoundingRect()) +
                        QStringLiteral(" reaches beyond the window ") +
                        DemoFolder::describe(window);
    Walker walker;
    walker.walk(pad, 0, window);
    walker.check(QStringLiteral("PIN pad: "));
    problems << walker.problems;
    for (const QString &name : {QStringLiteral("ok"), QStringLiteral("cancel")}) {
        QGraphicsWidget *key = pad->key(name);
        QVERIFY(key);
        const qreal wanted = key->effectiveSizeHint(Qt::PreferredSize).width();
        if (wanted > key->size().width() + kSlack)
            problems << QStringLiteral("PIN pad: %1 needs %2 pixels, has %3: its caption is cut")
                            .arg(nameOf(key))
                            .arg(wanted)
                            .arg(key->size().width());
    }
    pad->cancel();
    settings.setOptionalValue(QStringLiteral("admin_pin"), QString());
    stack->setCurrentIndex(MainContentWorker::kHomePage);
    settle();
    for (const QString &line : qAsConst(problems))
        qWarning().noquote() << line;
    QVERIFY2(problems.isEmpty(), "the PIN pad does not fit the window, listed above");
}

QTEST_MAIN(tst_ScreenPlacement)
#include "tst_screenplacement.moc"
