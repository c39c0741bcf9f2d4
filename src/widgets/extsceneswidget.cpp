// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extsceneswidget.h"

#include "ebasewidget.h"
#include "echeckboxwidget.h"

namespace {
constexpr qreal kButtonHeight = 40;
constexpr qreal kSpacing = 6;
constexpr qreal kMargin = 8;
constexpr int kTextScene = 61192;
constexpr int kTextEco = 61140;
constexpr int kTextAllOn = 61141;
constexpr int kTextAllOff = 61142;
constexpr int kTextSave = 61143;
constexpr int kTextDependencies = 61144;
constexpr int kTextSwitchChange = 61145;
} // namespace

struct ExtScenesWidgetPrivate
{
    EBaseWidget *buttons[ExtScenesWidget::ButtonCount] = {};
    bool wanted[ExtScenesWidget::ButtonCount] = {};
    QStringList sceneNames;
};

ExtScenesWidget::ExtScenesWidget(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<ExtScenesWidgetPrivate>())
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    for (int i = 0; i < ButtonCount; ++i) {
        EBaseWidget *b = i == SwitchChange ? new ECheckboxWidget(this) : new EBaseWidget(this);
        b->setFont(f);
        d->buttons[i] = b;
    }
    d->buttons[Dependencies]->setCheckable(true);
    d->buttons[Eco]->setCheckable(true);
    d->buttons[SwitchChange]->setCheckable(true);
    connect(d->buttons[Scene1], &EBaseWidget::clicked, this, &ExtScenesWidget::GlobalScene1);
    connect(d->buttons[Scene2], &EBaseWidget::clicked, this, &ExtScenesWidget::GlobalScene2);
    connect(d->buttons[Scene3], &EBaseWidget::clicked, this, &ExtScenesWidget::GlobalScene3);
    connect(d->buttons[Scene4], &EBaseWidget::clicked, this, &ExtScenesWidget::GlobalScene4);
    connect(d->buttons[AllOn], &EBaseWidget::clicked, this, &ExtScenesWidget::GlobalAllOn);
    connect(d->buttons[AllOff], &EBaseWidget::clicked, this, &ExtScenesWidget::GlobalAllOff);
    connect(d->buttons[Save], &EBaseWidget::clicked, this, &ExtScenesWidget::SceneSave);
    connect(d->buttons[Dependencies], &EBaseWidget::clicked, this,
            &ExtScenesWidget::EditDependance);
    connect(d->buttons[Eco], &EBaseWidget::clicked, this, &ExtScenesWidget::AllHeatOnOff);
    // The heating toggle has no controller command behind it, so it is never offered.
    d->wanted[Eco] = false;
    applyTexts();
    relayout();
}

ExtScenesWidget::~ExtScenesWidget() = default;

void ExtScenesWidget::setScenesVisible(bool visible)
{
    for (Button b : {Scene1, Scene2, Scene3, Scene4, AllOn, AllOff})
        d->wanted[b] = visible;
    relayout();
}

void ExtScenesWidget::setSaveVisible(bool visible)
{
    d->wanted[Save] = visible;
    relayout();
}

void ExtScenesWidget::setDependencyVisible(bool visible)
{
    d->wanted[Dependencies] = visible;
    if (!visible)
        resetModes();
    relayout();
}

void ExtScenesWidget::setSceneNames(const QStringList &names)
{
    d->sceneNames = names;
    applyTexts();
}

bool ExtScenesWidget::isDependencyMode() const
{
    return d->wanted[Dependencies] && d->buttons[Dependencies]->isChecked();
}

bool ExtScenesWidget::isSwitchChangeMode() const
{
    return isDependencyMode() && d->buttons[SwitchChange]->isChecked();
}

bool ExtScenesWidget::isEcoMode() const
{
    return d->buttons[Eco]->isChecked();
}

void ExtScenesWidget::resetModes()
{
    d->buttons[Dependencies]->setChecked(false);
    d->buttons[SwitchChange]->setChecked(false);
    relayout();
}

EBaseWidget *ExtScenesWidget::button(Button which) const
{
    return which >= 0 && which < ButtonCount ? d->buttons[which] : nullptr;
}

bool ExtScenesWidget::isButtonShown(Button which) const
{
    EBaseWidget *b = button(which);
    return b && b->isVisible();
}

void ExtScenesWidget::GlobalScene1()
{
    emit GlobalScene1Click();
}

void ExtScenesWidget::GlobalScene2()
{
    emit GlobalScene2Click();
}

void ExtScenesWidget::GlobalScene3()
{
    emit GlobalScene3Click();
}

void ExtScenesWidget::GlobalScene4()
{
    emit GlobalScene4Click();
}

void ExtScenesWidget::GlobalAllOn()
{
    emit GlobalAllOnClick();
}

void ExtScenesWidget::GlobalAllOff()
{
    emit GlobalAllOffClick();
}

void ExtScenesWidget::SceneSave()
{
    emit SceneSaveClick();
}

void ExtScenesWidget::EditDependance()
{
    d->buttons[SwitchChange]->setChecked(false);
    relayout();
    emit EditDependanceClick();
}

void ExtScenesWidget::AllHeatOnOff()
{
    emit AllHeatOnOffClick();
}

void ExtScenesWidget::applyTexts()
{
    const QString scene = localText(kTextScene);
    for (int i = 0; i < 4; ++i) {
        const QString name = d->sceneNames.value(i);
        d->buttons[Scene1 + i]->setText(name.isEmpty()
                                            ? (scene.isEmpty() ? QStringLiteral("Scene") : scene) +
                                                  QLatin1Char(' ') + QString::number(i + 1)
                                            : name);
    }
    d->buttons[AllOn]->setText(localText(kTextAllOn));
    d->buttons[AllOff]->setText(localText(kTextAllOff));
    d->buttons[Save]->setText(localText(kTextSave));
    d->buttons[Dependencies]->setText(localText(kTextDependencies));
    // The check box label is one line.
    QString switchChange = localText(kTextSwitchChange);
    switchChange.replace(QLatin1String("\r\n"), QLatin1String(" "));
    d->buttons[SwitchChange]->setText(switchChange.replace(QLatin1Char('\n'), QLatin1Char(' ')));
    d->buttons[Eco]->setText(localText(kTextEco));
}

void ExtScenesWidget::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    relayout();
}

void ExtScenesWidget::relayout()
{
    const qreal w = qMax<qreal>(0, size().width() - 2 * kMargin);
    qreal y = kMargin;
    for (int i = 0; i < ButtonCount; ++i) {
        bool show = d->wanted[i];
        if (i == SwitchChange)
            show = d->wanted[Dependencies] && d->buttons[Dependencies]->isChecked();
        EBaseWidget *b = d->buttons[i];
        b->setVisible(show);
        if (!show)
            continue;
        b->setGeometry(kMargin, y, w, kButtonHeight);
        y += kButtonHeight + kSpacing;
        // Scene buttons form one group, the actions below them another.
        if (i == AllOff)
            y += kSpacing;
    }
}
