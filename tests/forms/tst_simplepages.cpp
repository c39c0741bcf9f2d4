// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The simple pages through a view: the configuration selector, the loading page, the information
// page and the exit page.
#include "ecoreapp.h"
#include "eiconwidget.h"
#include "exitform.h"
#include "exttoolwidget.h"
#include "infoform.h"
#include "loadscreenform.h"
#include "multiconfigform.h"
#include "screentestsupport.h"

#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QSharedPointer<MultiConfigurationEntry> entry(int number, double x, double y,
                                              const QString &image = QString())
{
    auto e = QSharedPointer<MultiConfigurationEntry>::create();
    // The names the core gives the entries of multi.xml, in list order.
    e->name = QStringLiteral("MultySettingsObject") + QString::number(number);
    e->folder = QStringLiteral("home%1").arg(number);
    e->caption = QStringLiteral("Home %1").arg(number);
    e->image = image;
    e->posX = x;
    e->posY = y;
    return e;
}

} // namespace

class TestSimplePages : public QObject
{
    Q_OBJECT

private slots:
    void selectorPlacesIconsInPercent_data();
    void selectorPlacesIconsInPercent();
    void selectorClickNamesTheEntry();
    void selectorWithoutEntriesOrPictures();
    void loadingPageShowsProgressAndProblems();
    void informationPageListsLoadProblems_data();
    void informationPageListsLoadProblems();
    void exitPageYesEndsNoGoesBack();
};

void TestSimplePages::selectorPlacesIconsInPercent_data()
{
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("expected");
    QTest::newRow("800 x 600") << QSizeF(800, 600) << QPointF(200, 450);
    QTest::newRow("resized to 1280 x 800") << QSizeF(1280, 800) << QPointF(320, 600);
    QTest::newRow("a 7-inch panel") << QSizeF(800, 480) << QPointF(200, 360);
}

// From the first display on, and again after every resize.
void TestSimplePages::selectorPlacesIconsInPercent()
{
    QFETCH(QSizeF, size);
    QFETCH(QPointF, expected);
    QGraphicsScene scene;
    auto *form = new MultiConfigForm;
    scene.addItem(form);
    form->resize(800, 600);
    form->setEntries({entry(0, 10, 10), entry(1, 25, 75)}, QString());
    QCOMPARE(form->entryIcon(QStringLiteral("MultySettingsObject1"))->pos(), QPointF(200, 450));
    form->resize(size);
    QCOMPARE(form->entryIcon(QStringLiteral("MultySettingsObject1"))->pos(), expected);
    QCOMPARE(form->entryIcon(QStringLiteral("MultySettingsObject0"))->pos(),
             QPointF(size.width() / 10, size.height() / 10));
}

void TestSimplePages::selectorClickNamesTheEntry()
{
    ScreenFixture fx;
    auto *form = new MultiConfigForm;
    fx.place(form);
    form->setEntries({entry(0, 10, 20), entry(1, 40, 20), entry(2, 70, 20)}, QString());
    QSignalSpy selected(form, &MultiConfigForm::selectedMultiSettings);
    fx.click(form->entryIcon(QStringLiteral("MultySettingsObject2")));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).at(0).toString(), QStringLiteral("MultySettingsObject2"));
    // Entries given again replace the icons; none is left behind.
    form->setEntries({entry(0, 10, 20)}, QString());
    QCOMPARE(form->entryCount(), 1);
    int icons = 0;
    for (QGraphicsItem *child : form->childItems())
        icons += dynamic_cast<EIconWidget *>(child) ? 1 : 0;
    QCOMPARE(icons, 1);
}

// A list that could not be read has no icons; an entry whose picture is missing still has its
// icon, with its caption, and can be chosen.
void TestSimplePages::selectorWithoutEntriesOrPictures()
{
    ScreenFixture fx;
    auto *form = new MultiConfigForm;
    fx.place(form);
    form->setBackgroundImage(QStringLiteral("/nonexistent/background.png"));
    form->setEntries({}, QString());
    QCOMPARE(form->entryCount(), 0);
    QTemporaryDir dir;
    form->setEntries({entry(0, 30, 30, QStringLiteral("missing.png"))}, dir.path());
    EIconWidget *icon = form->entryIcon(QStringLiteral("MultySettingsObject0"));
    QVERIFY(icon);
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->text(), QStringLiteral("Home 0"));
    QSignalSpy selected(form, &MultiConfigForm::selectedMultiSettings);
    fx.click(icon);
    QCOMPARE(selected.count(), 1);
}

void TestSimplePages::loadingPageShowsProgressAndProblems()
{
    ScreenFixture fx;
    auto *page = new LoadScreenForm;
    fx.place(page);
    for (int value : {0, 40, 50, 100}) {
        page->setProgress(value);
        QCOMPARE(page->progress(), value);
    }
    page->setMessage(QStringLiteral("light_config.xml, line 3: not well-formed"));
    QCOMPARE(page->message(), QStringLiteral("light_config.xml, line 3: not well-formed"));
    page->setMessage(QString());
    QVERIFY(page->message().isEmpty());
}

void TestSimplePages::informationPageListsLoadProblems_data()
{
    QTest::addColumn<int>("problems");
    QTest::addColumn<int>("linesShown");
    QTest::addColumn<bool>("more");
    QTest::newRow("none") << 0 << 0 << false;
    QTest::newRow("one") << 1 << 1 << false;
    QTest::newRow("many: the rest is counted") << 40 << -1 << true;
}

void TestSimplePages::informationPageListsLoadProblems()
{
    QFETCH(int, problems);
    QFETCH(int, linesShown);
    QFETCH(bool, more);
    ScreenFixture fx;
    auto *page = new InfoForm;
    fx.place(page);
    QStringList list;
    for (int i = 0; i < problems; ++i)
        list << QStringLiteral("heat_config.xml, line %1: unknown element").arg(i + 1);
    page->setProblems(list);
    const QString text = page->problemsText();
    if (problems == 0)
        QVERIFY(text.isEmpty());
    else
        QVERIFY(text.startsWith(list.first()));
    if (linesShown >= 0)
        QCOMPARE(text.isEmpty() ? 0 : text.count(QLatin1Char('\n')) + 1, linesShown);
    // Too many for the page: the first ones and how many more there are.
    QCOMPARE(text.contains(QStringLiteral("more")), more);
    if (more)
        QVERIFY(!text.contains(list.last()));
}

// "Yes" ends the program's event loop with status 0, the way every orderly end goes; "No" asks to
// go back and ends nothing.
void TestSimplePages::exitPageYesEndsNoGoesBack()
{
    ScreenFixture fx;
    auto *page = new ExitForm;
    fx.place(page);
    QSignalSpy back(page, &ExitForm::backClick);
    fx.click(page->noButton());
    QCOMPARE(back.count(), 1);

    int status = -1;
    QTimer::singleShot(0, page, [&fx, page] { fx.click(page->yesButton()); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    QEventLoop loop;
    status = loop.exec();
    QCOMPARE(status, 0);
    QCOMPARE(back.count(), 1);
}

QTEST_MAIN(TestSimplePages)
#include "tst_simplepages.moc"
