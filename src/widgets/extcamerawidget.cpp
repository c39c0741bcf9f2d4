// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extcamerawidget.h"

#include "cameracontrolv1.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "ptzmanager.h"

#include <QFont>
#include <QGraphicsWidget>
#include <QPainter>

namespace {

const char *const kPlaceholder = ":/resources/none.png";
const char *const kButtonImages[ExtCameraWidget::PtzButtonCount] = {
    ":/resources/left_arrow.png", ":/resources/right_arrow.png", ":/resources/up_arrow.png",
    ":/resources/down_arrow.png", ":/resources/home_arrow.png",  ":/resources/zoomin.png",
    ":/resources/zoomout.png"};
// Grid cells of the PTZ buttons (row, column), a cross with the zoom buttons on the right.
constexpr int kButtonCells[ExtCameraWidget::PtzButtonCount][2] = {{3, 2}, {3, 4}, {2, 3}, {4, 3},
                                                                  {3, 3}, {2, 4}, {4, 4}};
constexpr qreal kMargin = 10;
constexpr qreal kFrameRadius = 10;
constexpr qreal kCaptionHeight = 30;

} // namespace

struct ExtCameraWidgetPrivate
{
    EImageWidget *picture = nullptr;
    EIconWidget *tools = nullptr;
    EIconWidget *buttons[ExtCameraWidget::PtzButtonCount] = {};
    ELabelWidget *caption = nullptr;
    PtzManager *ptz = nullptr;
    bool toolsVisible = false;
    bool showRound = false;
    bool showPtz = false;
    bool placeholder = true;
    bool onScreen = false;
};

ExtCameraWidget::ExtCameraWidget(CameraControlV1 *record, QGraphicsItem *parent)
    : EBaseWidget(parent), d(std::make_unique<ExtCameraWidgetPrivate>())
{
    d->ptz = new PtzManager(this);

    auto *grid = new EGridLayout;
    grid->setMargins(kMargin, kMargin, kMargin, kMargin);
    grid->setRowFixedHeight(0, 50);
    grid->setRowStretch(1, 1);
    grid->setRowFixedHeight(2, 50);
    grid->setRowFixedHeight(3, 50);
    grid->setRowFixedHeight(4, 50);
    grid->setRowFixedHeight(5, kCaptionHeight);
    grid->setColumnFixedWidth(0, 50);
    grid->setColumnStretch(1, 1);
    grid->setColumnFixedWidth(2, 50);
    grid->setColumnFixedWidth(3, 50);
    grid->setColumnFixedWidth(4, 50);

    // The picture lies under the buttons, over rows 0-4 of the grid; a grid cell holds one item,
    // so the picture follows the widget's geometry outside the layout.
    d->picture = new EImageWidget(this);
    d->picture->setSource(QLatin1String(kPlaceholder));
    d->picture->setFillMode(EImageWidget::PreserveAspectFit);
    d->picture->setZValue(-1);
    connect(this, &EGraphicsWidget::onGeometryChanged, d->picture, [this](const QRectF &r) {
        d->picture->setGeometry(QRectF(kMargin, kMargin, qMax<qreal>(0, r.width() - 2 * kMargin),
                                       qMax<qreal>(0, r.height() - 2 * kMargin - kCaptionHeight)));
    });

    // Holds the picture's rows and columns open in the grid.
    auto *spacer = new QGraphicsWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    grid->addWidget(spacer, 0, 0, 2, 2);

    d->tools = new EIconWidget;
    d->tools->setImageSource(QStringLiteral(":/resources/ip_tools.png"));
    grid->addWidget(d->tools, 4, 0);
    connect(d->tools, &EBaseWidget::clicked, this, &ExtCameraWidget::showHideTools);

    void (ExtCameraWidget::*handlers[PtzButtonCount])() = {
        &ExtCameraWidget::buttonLeftClick,   &ExtCameraWidget::buttonRightClick,
        &ExtCameraWidget::buttonUpClick,     &ExtCameraWidget::buttonDownClick,
        &ExtCameraWidget::buttonHomeClick,   &ExtCameraWidget::buttonZoominClick,
        &ExtCameraWidget::buttonZoomoutClick};
    for (int i = 0; i < PtzButtonCount; ++i) {
        auto *button = new EIconWidget;
        button->setImageSource(QLatin1String(kButtonImages[i]));
        grid->addWidget(button, kButtonCells[i][0], kButtonCells[i][1]);
        connect(button, &EBaseWidget::clicked, this, handlers[i]);
        d->buttons[i] = button;
    }

    d->caption = new ELabelWidget;
    d->caption->setColortext(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(18);
    d->caption->setFont(font);
    d->caption->setAlignment(Qt::AlignCenter);
    grid->addWidget(d->caption, 5, 0, 1, 5);
    setLayout(grid);

    // Children are laid out after the layout owns them; only then can they be hidden.
    for (EIconWidget *button : d->buttons)
        button->setVisible(false);
    applyRecord(record);
}

ExtCameraWidget::~ExtCameraWidget()
{
    // The base tears the layout down after the private part is gone; nothing may reach it then.
    disconnect(this, &EGraphicsWidget::onGeometryChanged, nullptr, nullptr);
}

void ExtCameraWidget::applyRecord(CameraControlV1 *record)
{
    if (!record)
        return;
    d->caption->setLabelT(record->textB());
    d->showRound = record->showRound();
    d->showPtz = record->showptz();
    d->tools->setVisible(d->showPtz);
    if (!d->showPtz && d->toolsVisible)
        showHideTools();
    d->ptz->setAddress(record->ipaddress());
    d->ptz->setPort(record->port());
    d->ptz->setLogin(record->login());
    d->ptz->setPassword(record->password());
    d->ptz->setMoveLeft(record->ptzMoveLeft());
    d->ptz->setMoveRight(record->ptzMoveRight());
    d->ptz->setMoveUp(record->ptzMoveUp());
    d->ptz->setMoveDown(record->ptzMoveDown());
    d->ptz->setMoveHome(record->ptzMoveHome());
    d->ptz->setZoomIn(record->ptzZoomIn());
    d->ptz->setZoomOut(record->ptzZoomOut());
    const QSizeF size(qMax(1, record->width()), qMax(1, record->height()));
    setMinimumSize(size);
    setMaximumSize(size);
    resize(size);
    update();
}

bool ExtCameraWidget::toolsVisible() const
{
    return d->toolsVisible;
}

bool ExtCameraWidget::showRound() const
{
    return d->showRound;
}

QImage ExtCameraWidget::picture() const
{
    return d->picture->image();
}

QSizeF ExtCameraWidget::pictureArea() const
{
    return d->picture->size();
}

bool ExtCameraWidget::showsPlaceholder() const
{
    return d->placeholder;
}

PtzManager *ExtCameraWidget::ptzManager() const
{
    return d->ptz;
}

EIconWidget *ExtCameraWidget::toolsButton() const
{
    return d->tools;
}

EIconWidget *ExtCameraWidget::ptzButton(PtzButton button) const
{
    return button >= 0 && button < PtzButtonCount ? d->buttons[button] : nullptr;
}

ELabelWidget *ExtCameraWidget::captionLabel() const
{
    return d->caption;
}

void ExtCameraWidget::setPicture(const QImage &image)
{
    if (image.isNull())
        return;
    d->placeholder = false;
    d->picture->setImage(image);
}

void ExtCameraWidget::errorImage()
{
    if (d->placeholder)
        return;
    d->placeholder = true;
    d->picture->setSource(QLatin1String(kPlaceholder));
}

void ExtCameraWidget::showHideTools()
{
    d->toolsVisible = !d->toolsVisible;
    for (EIconWidget *button : d->buttons)
        button->setVisible(d->toolsVisible);
}

void ExtCameraWidget::buttonLeftClick()
{
    d->ptz->moveLeft();
}

void ExtCameraWidget::buttonRightClick()
{
    d->ptz->moveRight();
}

void ExtCameraWidget::buttonUpClick()
{
    d->ptz->moveUp();
}

void ExtCameraWidget::buttonDownClick()
{
    d->ptz->moveDown();
}

void ExtCameraWidget::buttonHomeClick()
{
    d->ptz->moveHome();
}

void ExtCameraWidget::buttonZoominClick()
{
    d->ptz->zoomIn();
}

void ExtCameraWidget::buttonZoomoutClick()
{
    d->ptz->zoomOut();
}

void ExtCameraWidget::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!d->showRound)
        return;
    const QColor shade(0, 0, 0, 150);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(shade);
    painter->setBrush(shade);
    painter->drawRoundedRect(rect().adjusted(1, 1, -1, -1), kFrameRadius, kFrameRadius);
    painter->restore();
}

void ExtCameraWidget::onScreenChanged(bool) {}

QVariant ExtCameraWidget::itemChange(GraphicsItemChange change, const QVariant &value)
{
    const QVariant result = EBaseWidget::itemChange(change, value);
    if (change == ItemVisibleHasChanged || change == ItemSceneHasChanged)
        updateOnScreen();
    return result;
}

void ExtCameraWidget::updateOnScreen()
{
    // A page being hidden hides its items too, so this follows the room page being shown.
    const bool onScreen = scene() && isVisible();
    if (onScreen == d->onScreen)
        return;
    d->onScreen = onScreen;
    onScreenChanged(onScreen);
}
