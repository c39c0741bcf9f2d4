// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
//
// toolkit-gallery: every toolkit widget in its main states (normal, pressed, checked, highlighted,
// disabled) on one scene. With --screenshot FILE the scene is rendered to a PNG without a display
// (QT_QPA_PLATFORM=offscreen); otherwise it opens in a window. --popup opens the drop-down list.
#include "galleryicons.h"

#include "ebasewidget.h"
#include "echeckboxwidget.h"
#include "ecombowidget.h"
#include "eflickabletextedit.h"
#include "egridlayout.h"
#include "egroupboxwidget.h"
#include "ehexnumericwidget.h"
#include "ehorizontallayout.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "enumericwidget.h"
#include "eprogresswidget.h"
#include "eradiobuttonwidget.h"
#include "erectwidget.h"
#include "esliderwidget.h"
#include "espinwidget.h"
#include "estackwidget.h"
#include "etableitem.h"
#include "etablewidget.h"
#include "etextedit.h"
#include "everticallayout.h"
#include "toolkitstyle.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QPainter>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

// Puts an item into its pressed state as a finger would, without releasing.
void press(QGraphicsScene *scene, QGraphicsItem *item, const QPointF &at)
{
    QGraphicsSceneMouseEvent ev(QEvent::GraphicsSceneMousePress);
    ev.setButton(Qt::LeftButton);
    ev.setButtons(Qt::LeftButton);
    ev.setPos(at);
    ev.setScenePos(item->mapToScene(at));
    scene->sendEvent(item, &ev);
}

void press(QGraphicsScene *scene, QGraphicsWidget *item)
{
    press(scene, item, item->rect().center());
}

void hover(QGraphicsScene *scene, QGraphicsItem *item)
{
    QGraphicsSceneHoverEvent ev(QEvent::GraphicsSceneHoverEnter);
    ev.setPos(item->boundingRect().center());
    scene->sendEvent(item, &ev);
}

EGroupBoxWidget *group(const QString &title)
{
    auto *g = new EGroupBoxWidget;
    g->setLabelT(title);
    return g;
}

ELabelWidget *caption(const QString &text, int px = 12)
{
    auto *l = new ELabelWidget(text);
    l->setFont(EStyle::font(px));
    l->setColortext(EStyle::color(EStyle::kInkMuted));
    return l;
}

EBaseWidget *button(const QString &text)
{
    auto *b = new EBaseWidget;
    b->setText(text);
    b->setMinimumSize(76, 44);
    b->setMaximumHeight(44);
    return b;
}

EIconWidget *icon(const QImage &img, const QString &text, bool frame = false)
{
    auto *i = new EIconWidget;
    i->setImage(img);
    i->setText(text);
    i->setFrameVisible(frame);
    i->setMinimumSize(72, 76);
    return i;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Toolkit widget gallery"));
    parser.addHelpOption();
    QCommandLineOption shot(QStringLiteral("screenshot"),
                            QStringLiteral("Render the gallery to a PNG file and exit."),
                            QStringLiteral("FILE"));
    QCommandLineOption popup(QStringLiteral("popup"), QStringLiteral("Open the drop-down list."));
    parser.addOption(shot);
    parser.addOption(popup);
    parser.process(app);

    QGraphicsScene scene(0, 0, kWidth, kHeight);
    // Without a view the scene is inactive; activating it gives focus looks their real paint.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&scene, &activate);

    // Page background: the light blue gradient of the panel's pages, under a dark top bar.
    auto *page = new ERectWidget;
    page->setGradient(QColor(208, 219, 234), QColor(132, 162, 202));
    page->setGeometry(0, 0, kWidth, kHeight);
    scene.addItem(page);

    auto *root = new EGridLayout;
    root->setMargins(16, 0, 16, 16);
    root->setSpacing(14);
    root->setRowFixedHeight(0, 64);
    root->setRowStretch(1, 1);
    root->setRowStretch(2, 1);
    root->setColumnFixedWidth(0, 410);
    root->setColumnStretch(1, 5);
    root->setColumnStretch(2, 4);
    page->setLayout(root);

    // --- Top bar: light text on dark, with icons, a busy indicator and a progress bar.
    auto *bar = new ERectWidget;
    bar->setColor(QColor(37, 40, 43));
    bar->setRadius(0);
    auto *barLayout = new EHorizontalLayout;
    barLayout->setMargins(4, 6, 12, 6);
    barLayout->setSpacing(10);
    bar->setLayout(barLayout);
    auto *back = icon(GalleryIcons::house(30), QStringLiteral("Home"));
    back->setMinimumSize(64, 52);
    back->setMaximumSize(64, 52);
    barLayout->addWidget(back);
    auto *title = new ELabelWidget(QStringLiteral("Widget gallery"));
    title->setFont(EStyle::font(EStyle::kTitleFontPx + 4, true));
    title->setColortext(EStyle::color(EStyle::kPaper));
    barLayout->addWidget(title, 1);
    auto *clock = new ELabelWidget(QStringLiteral("07.12.2026\r\n19:45:00"));
    clock->setColortext(QColor(81, 150, 196));
    clock->setAlignment(Qt::AlignRight);
    clock->setMinimumWidth(110);
    barLayout->addWidget(clock);
    auto *spin = new ESpinWidget;
    spin->setMinimumSize(40, 40);
    spin->setMaximumSize(40, 40);
    spin->timerAnimate();
    spin->timerAnimate();
    barLayout->addWidget(spin, 0, Qt::AlignVCenter);
    auto *progress = new EProgressWidget;
    progress->setValue(60);
    progress->setMinimumSize(180, 18);
    progress->setMaximumSize(180, 18);
    barLayout->addWidget(progress, 0, Qt::AlignVCenter);
    auto *alarm = icon(GalleryIcons::dot(26, 0xffff5a4e), QStringLiteral("2 alarms"));
    alarm->setMinimumSize(70, 52);
    alarm->setMaximumSize(70, 52);
    barLayout->addWidget(alarm);
    root->addWidget(bar, 0, 0, 1, 3);
    // The bar reaches the page edges: negative margins are not allowed, so it sits in the grid
    // and the page margin is painted over by a strip of the same colour.
    auto *barEdge = new ERectWidget(page);
    barEdge->setColor(QColor(37, 40, 43));
    barEdge->setGeometry(0, 0, kWidth, 64);
    barEdge->setZValue(-1);

    // --- Buttons.
    auto *buttons = group(QStringLiteral("Buttons"));
    auto *bl = new EGridLayout;
    bl->setSpacing(8);
    bl->setRowSizes({16, 44, 16, 0, 16, 48});
    buttons->setLayout(bl);
    bl->addWidget(
        caption(QStringLiteral("Text buttons: normal, pressed, checked, hover, disabled")), 0, 0, 1,
        5);
    EBaseWidget *bNormal = button(QStringLiteral("Normal"));
    EBaseWidget *bPressed = button(QStringLiteral("Pressed"));
    EBaseWidget *bChecked = button(QStringLiteral("Checked"));
    EBaseWidget *bHover = button(QStringLiteral("Hover"));
    EBaseWidget *bDisabled = button(QStringLiteral("Disabled"));
    bChecked->setChecked(true);
    bDisabled->setEnabled(false);
    int col = 0;
    for (EBaseWidget *b : {bNormal, bPressed, bChecked, bHover, bDisabled})
        bl->addWidget(b, 1, col++);

    bl->addWidget(caption(QStringLiteral("Plan icons over a dark plan")), 2, 0, 1, 5);
    auto *plan = new ERectWidget;
    plan->setColor(QColor(43, 54, 70));
    plan->setRadius(EStyle::kRadius);
    auto *pl = new EHorizontalLayout;
    pl->setMargins(6, 4, 6, 4);
    pl->setSpacing(4);
    plan->setLayout(pl);
    EIconWidget *iOn = icon(GalleryIcons::lamp(40, true), QStringLiteral("Kitchen"));
    EIconWidget *iPressed = icon(GalleryIcons::lamp(40, false), QStringLiteral("Pressed"));
    EIconWidget *iChecked = icon(GalleryIcons::fan(40), QStringLiteral("Checked"));
    EIconWidget *iHover = icon(GalleryIcons::thermometer(40), QStringLiteral("Hover"));
    EIconWidget *iDisabled = icon(GalleryIcons::lamp(40, true), QStringLiteral("Disabled"));
    iChecked->setChecked(true);
    iDisabled->setEnabled(false);
    for (EIconWidget *i : {iOn, iPressed, iChecked, iHover, iDisabled})
        pl->addWidget(i, 1);
    bl->addWidget(plan, 3, 0, 1, 5);

    bl->addWidget(caption(QStringLiteral("Tool buttons")), 4, 0, 1, 5);
    auto *tools = new EHorizontalLayout;
    tools->setSpacing(8);
    EIconWidget *tScene = icon(GalleryIcons::house(24), QStringLiteral("Scenes"), true);
    EIconWidget *tPressed = icon(GalleryIcons::lamp(24, true), QStringLiteral("All on"), true);
    EIconWidget *tDisabled = icon(GalleryIcons::fan(24), QStringLiteral("Vent"), true);
    for (EIconWidget *t : {tScene, tPressed, tDisabled}) {
        t->setCaptionBeside(true);
        t->setMargins(10, 6, 10, 6);
        t->setMinimumSize(120, 48);
        t->setMaximumHeight(48);
        t->setFont(EStyle::font(EStyle::kFontPx));
        tools->addWidget(t);
    }
    tDisabled->setEnabled(false);
    bl->addItem(tools, 5, 0, 1, 5);
    root->addWidget(buttons, 1, 0);

    // --- Choices.
    auto *choices = group(QStringLiteral("Choices"));
    auto *cl = new EGridLayout;
    cl->setSpacing(6);
    cl->setRowSizes({40, 40, 40, 40, 0, 44});
    choices->setLayout(cl);
    auto *c1 = new ECheckboxWidget;
    c1->setText(QStringLiteral("Write archive"));
    auto *c2 = new ECheckboxWidget;
    c2->setText(QStringLiteral("Write alarm log"));
    c2->setChecked(true);
    auto *c3 = new ECheckboxWidget;
    c3->setText(QStringLiteral("Pressed"));
    auto *c4 = new ECheckboxWidget;
    c4->setText(QStringLiteral("Disabled"));
    c4->setChecked(true);
    c4->setEnabled(false);
    cl->addWidget(c1, 0, 0);
    cl->addWidget(c2, 1, 0);
    cl->addWidget(c3, 2, 0);
    cl->addWidget(c4, 3, 0);
    auto *radios = new EGraphicsWidget; // one parent: one exclusive group
    auto *rl = new EVerticalLayout;
    rl->setSpacing(6);
    radios->setLayout(rl);
    const QStringList radioTexts = {QStringLiteral("All elements"),
                                    QStringLiteral("Active messages"),
                                    QStringLiteral("Active alerts"), QStringLiteral("Disabled")};
    QList<ERadioButtonWidget *> radioList;
    for (const QString &t : radioTexts) {
        auto *r = new ERadioButtonWidget;
        r->setText(t);
        r->setMinimumHeight(40);
        rl->addWidget(r);
        radioList.append(r);
    }
    radioList.at(2)->setChecked(true);
    radioList.at(3)->setEnabled(false);
    cl->addWidget(radios, 0, 1, 4, 1);
    auto *combo = new EComboWidget;
    combo->addItems({QStringLiteral("English"), QStringLiteral("Deutsch"),
                     QStringLiteral("Français"), QStringLiteral("Español"),
                     QStringLiteral("Italiano"), QStringLiteral("Polski"),
                     QStringLiteral("Svenska"), QStringLiteral("Norsk")});
    combo->setMinimumHeight(44);
    auto *comboOff = new EComboWidget;
    comboOff->addItems({QStringLiteral("Full screen")});
    comboOff->setEnabled(false);
    cl->addWidget(combo, 5, 0);
    cl->addWidget(comboOff, 5, 1);
    root->addWidget(choices, 1, 1);

    // --- Values.
    auto *values = group(QStringLiteral("Values"));
    auto *vl = new EGridLayout;
    vl->setSpacing(8);
    vl->setColumnSizes({0, 0, 44, 44});
    vl->setRowSizes({40, 40, 40, 36, 36, 36});
    values->setLayout(vl);
    auto *n1 = new ENumericWidget;
    n1->setRange(5, 35);
    n1->setStep(0.2);
    n1->setDecimals(1);
    n1->setValue(21.4);
    n1->setFont(EStyle::font(EStyle::kFieldFontPx, true));
    auto *n2 = new ENumericWidget;
    n2->setValue(42);
    n2->setFont(EStyle::font(EStyle::kFieldFontPx));
    auto *n3 = new ENumericWidget;
    n3->setModes(false, true, false);
    n3->setMaximum(2000);
    n3->setValue(500);
    n3->setFont(EStyle::font(EStyle::kFieldFontPx));
    auto *n4 = new ENumericWidget;
    n4->setDisplayOnly(true);
    n4->setDecimals(2);
    n4->setValue(50.196);
    n4->setFont(EStyle::font(EStyle::kFieldFontPx + 4, true));
    auto *hex = new EHexnumericWidget;
    hex->setMax(QStringLiteral("5000"));
    hex->setVal(QStringLiteral("1F4"));
    hex->setFont(EStyle::font(EStyle::kFieldFontPx));
    auto *nOff = new ENumericWidget;
    nOff->setValue(7);
    nOff->setEnabled(false);
    nOff->setFont(EStyle::font(EStyle::kFieldFontPx));
    vl->addWidget(n1, 0, 0);
    vl->addWidget(n2, 0, 1);
    vl->addWidget(n3, 1, 0);
    vl->addWidget(n4, 1, 1);
    vl->addWidget(hex, 2, 0);
    vl->addWidget(nOff, 2, 1);
    auto *s1 = new ESliderWidget;
    s1->setValue(35);
    auto *s2 = new ESliderWidget;
    s2->setValue(70);
    s2->setColor(QColor(0x17, 0xb8, 0x7a));
    auto *s3 = new ESliderWidget;
    s3->setValue(50);
    s3->setEnabled(false);
    vl->addWidget(s1, 3, 0, 1, 2);
    vl->addWidget(s2, 4, 0, 1, 2);
    vl->addWidget(s3, 5, 0, 1, 2);
    auto *v1 = new ESliderWidget(Qt::Vertical);
    v1->setValue(80);
    auto *v2 = new ESliderWidget(Qt::Vertical);
    v2->setValue(30);
    v2->setColor(QColor(0xff, 0x9f, 0x1c));
    vl->addWidget(v1, 0, 2, 6, 1);
    vl->addWidget(v2, 0, 3, 6, 1);
    root->addWidget(values, 1, 2);

    // --- Text.
    auto *text = group(QStringLiteral("Text"));
    auto *tl = new EGridLayout;
    tl->setSpacing(8);
    tl->setRowSizes({24, 34, 44, 0});
    text->setLayout(tl);
    auto *l1 = new ELabelWidget(QStringLiteral("Polling period, ms:"));
    auto *l2 = new ELabelWidget(QStringLiteral("current alert: 12"));
    l2->setFont(EStyle::font(EStyle::kFontPx, true));
    auto *l3 = new ELabelWidget(QStringLiteral("21.4 °C"));
    l3->setColorbackground(QColor(0, 0, 0, 200));
    l3->setColortext(EStyle::color(EStyle::kPaper));
    l3->setAlignment(Qt::AlignCenter);
    l3->setFont(EStyle::font(EStyle::kTitleFontPx, true));
    auto *l4 = new ELabelWidget(QStringLiteral("Living room lights"));
    l4->setColorbackground(QColor(255, 255, 255, 170));
    l4->setAlignment(Qt::AlignCenter);
    tl->addWidget(l1, 0, 0);
    tl->addWidget(l2, 0, 1);
    tl->addWidget(l3, 1, 0);
    tl->addWidget(l4, 1, 1);
    auto *line = new ETextEdit;
    line->setSingleLine(true);
    line->setText(QStringLiteral("127.0.0.1"));
    tl->addWidget(line, 2, 0, 1, 2);
    auto *multi = new EFlickableTextEdit;
    multi->setText(QStringLiteral(
        "Before synchronizing you need to install the same time on all devices with the "
        "software, and click the Synchronize button on one of the devices.\n\nThe controller "
        "keeps its own clock; the panel shows both side by side."));
    tl->addWidget(multi, 3, 0, 1, 2);
    root->addWidget(text, 2, 0);

    // --- Table.
    auto *tableBox = group(QStringLiteral("Table"));
    auto *tbl = new EGridLayout;
    tableBox->setLayout(tbl);
    auto *table = new ETableWidget;
    table->setColumnCount(7);
    table->setHeaderTexts({QStringLiteral("ID"), QStringLiteral("Time"),
                           QStringLiteral("Description"), QStringLiteral("Type"),
                           QStringLiteral("Active"), QStringLiteral("SMS"),
                           QStringLiteral("Siren")});
    table->setColumnWidth(0, 30);
    table->setColumnWidth(1, 104);
    table->setColumnWidth(3, 40);
    table->setColumnWidth(4, 50);
    table->setColumnWidth(5, 42);
    table->setColumnWidth(6, 42);
    table->setColumnHidden(6, true);
    table->setRowHeight(30);
    const QImage red = GalleryIcons::dot(18, 0xffff5a4e);
    const QImage blue = GalleryIcons::dot(18, 0xff2f8cff);
    const char *descr[] = {"Leak in the boiler room",  "Front door opened", "Heating pump failure",
                           "Low battery, hall sensor", "Smoke sensor test", "Window left open"};
    for (int i = 0; i < 6; ++i) {
        table->appendRow({ETableItem::text(QString::number(i + 1)),
                          ETableItem::text(i % 3 ? QStringLiteral("07.12.26 18:4%1").arg(i)
                                                 : QStringLiteral("-")),
                          ETableItem::text(QString::fromLatin1(descr[i])),
                          ETableItem::image(i % 2 ? blue : red), ETableItem::check(i % 2 == 0),
                          ETableItem::check(i == 1), ETableItem::check(false)});
    }
    table->item(3, 5)->setEditable(false);
    tbl->addWidget(table, 0, 0);
    root->addWidget(tableBox, 2, 1);

    // --- Pictures: the six fill modes, and a page stack.
    auto *pics = group(QStringLiteral("Pictures and pages"));
    auto *pg = new EGridLayout;
    pg->setSpacing(6);
    pg->setRowSizes({0, 14, 0, 14, 50});
    pics->setLayout(pg);
    const QImage sample = GalleryIcons::tile(60, 40);
    const char *modes[] = {"Stretch", "Fit", "Crop", "Tile", "Tile vert.", "Tile horiz."};
    for (int m = 0; m < 6; ++m) {
        auto *img = new EImageWidget;
        img->setImage(sample);
        img->setFillMode(EImageWidget::FillMode(m));
        pg->addWidget(img, (m / 3) * 2, m % 3);
        auto *cap = caption(QString::fromLatin1(modes[m]), 11);
        cap->setAlignment(Qt::AlignHCenter);
        pg->addWidget(cap, (m / 3) * 2 + 1, m % 3);
    }
    auto *stack = new EStackWidget;
    for (int p = 0; p < 3; ++p) {
        auto *pageItem = new ELabelWidget(QStringLiteral("Stack page %1 of 3").arg(p + 1));
        pageItem->setAlignment(Qt::AlignCenter);
        pageItem->setColorbackground(QColor(0x2f, 0x8c, 0xff, 40 + p * 30));
        stack->addWidget(pageItem);
    }
    stack->setCurrentIndex(1);
    pg->addWidget(stack, 4, 0, 1, 3);
    root->addWidget(pics, 2, 2);

    // Lay everything out before faking the states, so presses land where the widgets are.
    root->activate();
    QCoreApplication::processEvents();

    press(&scene, bPressed);
    hover(&scene, bHover);
    press(&scene, iPressed);
    hover(&scene, iHover);
    press(&scene, tPressed);
    press(&scene, c3);
    hover(&scene, c1);
    press(&scene, n2, n2->plusRect().center());
    press(&scene, n3, n3->valueRect().center());
    press(&scene, s2, s2->positionForValue(70));
    if (parser.isSet(popup))
        combo->showPopup();

    if (parser.isSet(shot)) {
        QImage out(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::white);
        QPainter p(&out);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        scene.render(&p, QRectF(0, 0, kWidth, kHeight), scene.sceneRect());
        p.end();
        if (!out.save(parser.value(shot))) {
            qWarning("cannot write %s", qPrintable(parser.value(shot)));
            return 1;
        }
        return 0;
    }
    QGraphicsView view(&scene);
    view.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                        QPainter::SmoothPixmapTransform);
    view.resize(kWidth + 4, kHeight + 4);
    view.show();
    return app.exec();
}
