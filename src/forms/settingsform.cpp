// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "settingsform.h"

#include "adminaccess.h"
#include "eappsettings.h"
#include "echeckboxwidget.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "egroupboxwidget.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "erectwidget.h"
#include "exttoolwidget.h"
#include "formservices.h"

#include <QDir>
#include <QImage>
#include <QMap>

namespace {
// Background thumbnails: size, columns of the picker, gap between them.
const QSize kThumbSize(120, 80);
constexpr int kThumbColumns = 4;
constexpr qreal kThumbSpacing = 8;
const char *const kEnglish = "en_US";
const char *const kRussian = "ru_RU";
const char *const kSystem = "system";
constexpr int kTextExportsKept = 61570;
constexpr int kDemoGroupHeight = 130;
} // namespace

struct SettingsFormPrivate
{
    ELabelWidget *title = nullptr;
    EGroupBoxWidget *languageGroup = nullptr;
    EGroupBoxWidget *modeGroup = nullptr;
    EGroupBoxWidget *archiveGroup = nullptr;
    EGroupBoxWidget *backgroundGroup = nullptr;
    EComboWidget *language = nullptr;
    ExtToolWidget *mode = nullptr;
    ExtToolWidget *background = nullptr;
    ECheckboxWidget *archive = nullptr;
    ECheckboxWidget *alarm = nullptr;
    // The demo home: its copy can be replaced by a fresh one, after a question.
    EGroupBoxWidget *demoGroup = nullptr;
    ExtToolWidget *resetDemo = nullptr;
    ELabelWidget *demoQuestion = nullptr;
    ExtToolWidget *demoYes = nullptr;
    ExtToolWidget *demoNo = nullptr;
    bool changed = false;
    ERectWidget *picker = nullptr;
    QMap<QString, EIconWidget *> thumbnails;
};

namespace {
EGroupBoxWidget *settingsGroup(qreal height)
{
    auto *box = new EGroupBoxWidget;
    box->setFont(ECoreApp::instance()->font(5));
    box->setColortext(Qt::black);
    box->setMinimumHeight(height);
    box->setMaximumHeight(height);
    return box;
}

ExtToolWidget *groupButton(EGroupBoxWidget *group, const QString &image)
{
    auto *button = new ExtToolWidget(image, QString(), group);
    button->setFrameVisible(true);
    button->setCaptionBeside(true);
    button->setFont(ECoreApp::instance()->font(0));
    button->setPos(10, 17);
    button->resize(180, 40);
    return button;
}

ECheckboxWidget *groupCheckBox(EGroupBoxWidget *group, qreal y)
{
    auto *box = new ECheckboxWidget(group);
    box->setFont(ECoreApp::instance()->font(0));
    box->setColortext(Qt::black);
    box->setPos(13, y);
    box->resize(420, 30);
    return box;
}
} // namespace

SettingsForm::SettingsForm(QGraphicsItem *parent) : BaseForm(parent), d(new SettingsFormPrivate)
{
    d->title = new ELabelWidget;
    d->title->setFont(ECoreApp::instance()->font(1));
    d->title->setColortext(Qt::black);
    d->title->setAlignment(Qt::AlignCenter);

    d->languageGroup = settingsGroup(70);
    d->language = new EComboWidget(d->languageGroup);
    d->language->setItems({QStringLiteral("<System>"), QStringLiteral("English"),
                           QStringLiteral("Russian (Russia)")});
    d->language->setFont(ECoreApp::instance()->font(0));
    d->language->setPos(8, 20);
    d->language->resize(230, 40);

    d->modeGroup = settingsGroup(70);
    d->mode = groupButton(d->modeGroup, QStringLiteral("options.png"));

    d->archiveGroup = settingsGroup(85);
    d->archive = groupCheckBox(d->archiveGroup, 15);
    d->alarm = groupCheckBox(d->archiveGroup, 45);

    d->backgroundGroup = settingsGroup(70);
    d->background = groupButton(d->backgroundGroup, QStringLiteral("graphics.png"));

    // The question and the notice run below the buttons across the group: they name the folder
    // the exports stay in.
    d->demoGroup = settingsGroup(kDemoGroupHeight);
    d->resetDemo = groupButton(d->demoGroup, QStringLiteral("home.png"));
    d->resetDemo->setObjectName(QStringLiteral("resetDemo"));
    d->demoQuestion = new ELabelWidget(d->demoGroup);
    d->demoQuestion->setFont(ECoreApp::instance()->font(0));
    d->demoQuestion->setColortext(Qt::black);
    d->demoQuestion->setWordWrap(true);
    d->demoQuestion->setPos(10, 60);
    d->demoQuestion->resize(440, kDemoGroupHeight - 64);
    d->demoYes = new ExtToolWidget(QStringLiteral("check.png"), QString(), d->demoGroup);
    d->demoNo = new ExtToolWidget(QStringLiteral("no.png"), QString(), d->demoGroup);
    d->demoYes->setObjectName(QStringLiteral("resetDemoYes"));
    d->demoNo->setObjectName(QStringLiteral("resetDemoNo"));
    for (ExtToolWidget *button : {d->demoYes, d->demoNo}) {
        button->setFrameVisible(true);
        button->setShowCaption(true);
        button->setCaptionBeside(true);
        button->setFont(ECoreApp::instance()->font(0));
        button->resize(110, 36);
    }
    d->demoYes->setPos(200, 19);
    d->demoNo->setPos(320, 19);
    showDemoQuestion(false);

    auto *grid = new EGridLayout;
    grid->setColumnSizes({20, 460, 0});
    grid->setRowSizes({40, 70, 8, 70, 8, 85, 8, 70, 8, kDemoGroupHeight, 0});
    grid->setRowStretch(10, 1);
    grid->addWidget(d->title, 0, 0, 1, 3);
    grid->addWidget(d->languageGroup, 1, 1);
    grid->addWidget(d->modeGroup, 3, 1);
    grid->addWidget(d->archiveGroup, 5, 1);
    grid->addWidget(d->backgroundGroup, 7, 1);
    grid->addWidget(d->demoGroup, 9, 1);
    setLayout(grid);
    connect(d->resetDemo, &EBaseWidget::clicked, this, [this] { showDemoQuestion(true); });
    connect(d->demoNo, &EBaseWidget::clicked, this, [this] { showDemoQuestion(false); });
    connect(d->demoYes, &EBaseWidget::clicked, this, &SettingsForm::resetDemo);

    connect(d->language, &EComboWidget::indexChanged, this, &SettingsForm::languageChanged);
    // Only a person's click counts as a change: the boxes are also set from the settings each
    // time the page is shown, and that must not be written back as if it were an edit.
    connect(d->archive, &EBaseWidget::clicked, this,
            [this] { ChackControls(d->archive->isChecked()); });
    connect(d->alarm, &EBaseWidget::clicked, this,
            [this] { ChackControls(d->alarm->isChecked()); });
    connect(d->mode, &EBaseWidget::clicked, this, &SettingsForm::ChangeRegim);
    connect(d->background, &EBaseWidget::clicked, this, &SettingsForm::chooseBackground);

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &SettingsForm::changedLocale);
    retranslate();
    updateModeCaption();
}

SettingsForm::~SettingsForm() = default;

bool SettingsForm::isChanged() const
{
    return d->changed;
}

EComboWidget *SettingsForm::languageList() const
{
    return d->language;
}

ExtToolWidget *SettingsForm::modeButton() const
{
    return d->mode;
}

ExtToolWidget *SettingsForm::backgroundButton() const
{
    return d->background;
}

ECheckboxWidget *SettingsForm::archiveBox() const
{
    return d->archive;
}

ECheckboxWidget *SettingsForm::alarmBox() const
{
    return d->alarm;
}

ExtToolWidget *SettingsForm::resetDemoButton() const
{
    return d->resetDemo;
}

ExtToolWidget *SettingsForm::resetDemoConfirmButton() const
{
    return d->demoYes;
}

ExtToolWidget *SettingsForm::resetDemoCancelButton() const
{
    return d->demoNo;
}

QString SettingsForm::demoText() const
{
    return d->demoQuestion->isVisible() ? d->demoQuestion->labelT() : QString();
}

namespace {
// Where the history screen's exports of the demo are; they outlive a reset.
QString demoExportsNote()
{
    return FormServices::text(kTextExportsKept)
        .arg(QDir::toNativeSeparators(ECoreApp::demoExportFolder()));
}
} // namespace

void SettingsForm::showDemoQuestion(bool on)
{
    d->demoQuestion->setLabelT(localText(61522) + QLatin1Char(' ') + demoExportsNote());
    d->demoQuestion->setVisible(on);
    d->demoYes->setVisible(on);
    d->demoNo->setVisible(on);
}

void SettingsForm::resetDemo()
{
    showDemoQuestion(false);
    // The copy is replaced when the program next starts, as the notice says; this session keeps
    // its files and writes nothing more of its pages and settings into them.
    if (ECoreApp::instance()->resetDemoCopy())
        showDemoResetNotice();
}

void SettingsForm::showDemoResetNotice()
{
    d->demoQuestion->setLabelT(localText(61523) + QLatin1Char(' ') + demoExportsNote());
    d->demoQuestion->show();
}

QString SettingsForm::nextBackground(const QStringList &files, const QString &current)
{
    if (files.isEmpty())
        return QString();
    const int at = current.isEmpty() ? -1 : files.indexOf(current);
    return files.at(at < 0 ? 0 : (at + 1) % files.size());
}

void SettingsForm::languageChanged(int index)
{
    ECoreApp *app = ECoreApp::instance();
    ELocale *locale = app->locale();
    QString setting = QLatin1String(kSystem);
    if (index == 1)
        setting = QLatin1String(kEnglish);
    else if (index == 2)
        setting = QLatin1String(kRussian);
    app->settings().setValue(EAppSettings::Language, setting);
    // A system locale without a table of its own would leave the previous language on screen
    // while the setting says "system"; English is what the program starts with in that case.
    if (locale && !locale->load(setting) && setting == QLatin1String(kSystem))
        locale->load(QLatin1String(kEnglish));
    retranslate();
}

void SettingsForm::ChackControls(bool)
{
    d->changed = true;
}

void SettingsForm::ChangerValue(double)
{
    d->changed = true;
}

QStringList SettingsForm::backgroundFiles()
{
    const QDir folder(ECoreApp::instance()->backgroundImagePath(QString()));
    if (!folder.exists())
        return {};
    return folder.entryList({QStringLiteral("*.png"), QStringLiteral("*.jpg"),
                             QStringLiteral("*.PNG"), QStringLiteral("*.JPG")},
                            QDir::Files, QDir::Unsorted);
}

QGraphicsWidget *SettingsForm::backgroundPicker() const
{
    return d->picker;
}

EBaseWidget *SettingsForm::backgroundThumbnail(const QString &fileName) const
{
    return d->thumbnails.value(fileName);
}

void SettingsForm::chooseBackground()
{
    const QStringList files = backgroundFiles();
    if (files.isEmpty())
        return;
    // Built afresh each time: the folder may have changed since the last look.
    delete d->picker;
    d->thumbnails.clear();
    d->picker = new ERectWidget(this);
    d->picker->setColor(QColor(32, 42, 56, 235));
    d->picker->setRadius(10);
    d->picker->setZValue(50);
    auto *grid = new EGridLayout;
    grid->setMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(kThumbSpacing);
    grid->setVerticalSpacing(kThumbSpacing);
    const QString current =
        ECoreApp::instance()->settings().value(EAppSettings::FoneImage).toString();
    ECoreApp *app = ECoreApp::instance();
    for (int i = 0; i < files.size(); ++i) {
        const QString name = files.at(i);
        auto *thumb = new EIconWidget;
        // Decoded once at thumbnail size when the picker opens, never while painting.
        QImage picture(app->backgroundImagePath(name));
        if (!picture.isNull())
            picture = picture.scaled(kThumbSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        thumb->setImage(picture);
        thumb->setText(name);
        thumb->setFrameVisible(true);
        thumb->setChecked(name == current);
        thumb->setMinimumSize(kThumbSize.width() + 10, kThumbSize.height() + 30);
        thumb->setMaximumSize(kThumbSize.width() + 10, kThumbSize.height() + 30);
        grid->addWidget(thumb, i / kThumbColumns, i % kThumbColumns);
        connect(thumb, &EBaseWidget::clicked, this, [this, name] { selectBackground(name); });
        d->thumbnails.insert(name, thumb);
    }
    auto *close = new ExtToolWidget(QStringLiteral("close.png"), QString());
    close->setMinimumSize(40, 40);
    close->setMaximumSize(40, 40);
    const int rows = (files.size() + kThumbColumns - 1) / kThumbColumns;
    grid->addWidget(close, rows, kThumbColumns - 1, 1, 1, Qt::AlignRight);
    connect(close, &EBaseWidget::clicked, d->picker, [this] { d->picker->hide(); });
    d->picker->setLayout(grid);
    grid->activate();
    const QSizeF wanted = grid->effectiveSizeHint(Qt::PreferredSize);
    d->picker->resize(wanted);
    grid->activate();
    d->picker->setPos(qMax<qreal>(0, (size().width() - wanted.width()) / 2),
                      qMax<qreal>(0, (size().height() - wanted.height()) / 2));
    d->picker->show();
}

void SettingsForm::selectBackground(const QString &fileName)
{
    if (d->picker)
        d->picker->hide();
    if (fileName.isEmpty())
        return;
    d->changed = true;
    ECoreApp::instance()->settings().setValue(EAppSettings::FoneImage, fileName);
    emit ChangeFone();
}

void SettingsForm::ChangeFoneImage()
{
    d->changed = true;
    ECoreApp *app = ECoreApp::instance();
    const QStringList files = backgroundFiles();
    const QString next =
        nextBackground(files, app->settings().value(EAppSettings::FoneImage).toString());
    if (next.isEmpty())
        return;
    app->settings().setValue(EAppSettings::FoneImage, next);
    emit ChangeFone();
}

void SettingsForm::ChangeRegim()
{
    EAppSettings &settings = ECoreApp::instance()->settings();
    if (settings.value(EAppSettings::ShowSettings).toBool()) {
        settings.setValue(EAppSettings::ShowSettings, false);
        // Back in standard use: the next switch to administration asks for the PIN again.
        AdminAccess::lock();
        updateModeCaption();
        return;
    }
    AdminAccess::request(this, [this] {
        ECoreApp::instance()->settings().setValue(EAppSettings::ShowSettings, true);
        updateModeCaption();
    });
}

void SettingsForm::updateModeCaption()
{
    const bool admin = ECoreApp::instance()->settings().value(EAppSettings::ShowSettings).toBool();
    d->mode->setText(localText(admin ? 61028 : 61029));
}

void SettingsForm::changedLocale(const QString &)
{
    retranslate();
    updateModeCaption();
}

void SettingsForm::applyTexts()
{
    d->title->setLabelT(localText(61020));
    d->languageGroup->setLabelT(localText(61021));
    d->modeGroup->setLabelT(localText(61027));
    d->archiveGroup->setLabelT(localText(61022));
    d->archive->setText(localText(61023));
    d->alarm->setText(localText(61024));
    d->backgroundGroup->setLabelT(localText(61025));
    d->background->setText(localText(61026));
    d->demoGroup->setLabelT(localText(61520));
    d->resetDemo->setText(localText(61521));
    d->demoYes->setText(localText(61060));
    d->demoNo->setText(localText(61061));
}

void SettingsForm::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    d->changed = false;
    retranslate();
    updateModeCaption();
    // Only the demo home has a copy to reset.
    d->demoGroup->setVisible(ECoreApp::instance()->startMode() == StartMode::Demo);
    showDemoQuestion(false);
    if (ECoreApp::isDemoResetPending() && ECoreApp::instance()->startMode() == StartMode::Demo)
        showDemoResetNotice();
    const EAppSettings &settings = ECoreApp::instance()->settings();
    d->alarm->setChecked(settings.value(EAppSettings::WriteAlarm).toBool());
    d->archive->setChecked(settings.value(EAppSettings::WriteArchive).toBool());
    const QString language = settings.value(EAppSettings::Language).toString();
    d->language->setCurrentIndex(language == QLatin1String(kEnglish)   ? 1
                                 : language == QLatin1String(kRussian) ? 2
                                                                       : 0);
}

void SettingsForm::hideEvent(QHideEvent *event)
{
    if (d->changed) {
        EAppSettings &settings = ECoreApp::instance()->settings();
        settings.setValue(EAppSettings::WriteAlarm, d->alarm->isChecked());
        settings.setValue(EAppSettings::WriteArchive, d->archive->isChecked());
        d->changed = false;
    }
    BaseForm::hideEvent(event);
}
