// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// A room screen takes every item it made with it when it goes, whatever kind of page it shows: the
// main page leaves its title out of the layout, and an item left without a parent would outlive
// the screen.
#include "baseroomv1.h"
#include "elabelwidget.h"
#include "eimagewidget.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "roomformv1.h"
#include "roomstructv1.h"
#include "screentestsupport.h"

#include <QPointer>
#include <QtTest>

#include <memory>

class tst_RoomFormLifetime : public QObject
{
    Q_OBJECT
private slots:
    void itemsGoWithTheScreen_data();
    void itemsGoWithTheScreen();
};

void tst_RoomFormLifetime::itemsGoWithTheScreen_data()
{
    QTest::addColumn<int>("systemType");
    QTest::addColumn<int>("pageKind");
    QTest::addColumn<bool>("titleShown");

    QTest::newRow("main page") << int(BaseRoomV1::MainSystem) << int(BaseRoomV1::KindRoot) << false;
    QTest::newRow("lighting root") << int(BaseRoomV1::LightSystem) << int(BaseRoomV1::KindRoot)
                                   << true;
    QTest::newRow("heating floor") << int(BaseRoomV1::HeatSystem) << int(BaseRoomV1::KindFloor)
                                   << true;
    QTest::newRow("lighting room") << int(BaseRoomV1::LightSystem) << int(BaseRoomV1::KindRoom)
                                   << true;
}

void tst_RoomFormLifetime::itemsGoWithTheScreen()
{
    QFETCH(int, systemType);
    QFETCH(int, pageKind);
    QFETCH(bool, titleShown);

    ScreenFixture fx;
    std::unique_ptr<BaseRoomV1> page;
    if (pageKind == BaseRoomV1::KindRoot)
        page = std::make_unique<MainStructV1>();
    else if (pageKind == BaseRoomV1::KindFloor)
        page = std::make_unique<FloorStructV1>();
    else
        page = std::make_unique<RoomStructV1>();
    page->setSystemType(BaseRoomV1::TYPESYSTEM(systemType));

    auto *form = new RoomFormV1(page.get());
    fx.place(form);
    QPointer<ELabelWidget> title = form->titleLabel();
    QPointer<EImageWidget> plan = form->plan();
    QVERIFY(title);
    QVERIFY(plan);
    QCOMPARE(title->isVisible(), titleShown);

    delete form;
    QVERIFY(title.isNull());
    QVERIFY(plan.isNull());
}

QTEST_MAIN(tst_RoomFormLifetime)
#include "tst_roomformlifetime.moc"
