// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The user guide is found next to an installed program and next to one run from its build tree.
#include "userguide.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_UserGuide : public QObject
{
    Q_OBJECT

private slots:
    void locatesTheGuide_data();
    void locatesTheGuide();
    void opensTheLocatedGuide();
};

void tst_UserGuide::locatesTheGuide_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("guides");
    QTest::addColumn<QString>("expected");

    const QString installed = QStringLiteral("usr/share/doc/verandix/user-guide.html");
    const QString built = QStringLiteral("build/docs/user-guide.html");
    QTest::newRow("installed") << "usr/bin" << QStringList{installed} << installed;
    QTest::newRow("build tree") << "build/src" << QStringList{built} << built;
    QTest::newRow("installed copy first")
        << "usr/bin" << QStringList{installed, QStringLiteral("usr/docs/user-guide.html")}
        << installed;
    QTest::newRow("guide of another tree") << "build/src" << QStringList{installed} << QString();
    QTest::newRow("none") << "usr/bin" << QStringList{} << QString();
    QTest::newRow("a folder of that name is no guide")
        << "usr/bin" << QStringList{QStringLiteral("usr/share/doc/verandix/user-guide.html/x")}
        << QString();
}

void tst_UserGuide::locatesTheGuide()
{
    QFETCH(QString, program);
    QFETCH(QStringList, guides);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir dir(root.path());
    QVERIFY(dir.mkpath(program));
    for (const QString &guide : guides) {
        QVERIFY(dir.mkpath(QFileInfo(dir.filePath(guide)).path()));
        QFile file(dir.filePath(guide));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString found = UserGuide::locate(dir.filePath(program));
    QCOMPARE(found, expected.isEmpty() ? QString() : dir.filePath(expected));
}

void tst_UserGuide::opensTheLocatedGuide()
{
    QTemporaryDir root;
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("bin")));
    QVERIFY(dir.mkpath(QStringLiteral("share/doc/verandix")));
    QList<QUrl> opened;
    UserGuide::setOpener([&opened](const QUrl &url) {
        opened << url;
        return true;
    });
    UserGuide::setApplicationDir(dir.filePath(QStringLiteral("bin")));
    // Nothing to open yet: the desktop is not asked to open a missing file.
    QVERIFY(!UserGuide::open());
    QVERIFY(opened.isEmpty());
    QFile guide(dir.filePath(QStringLiteral("share/doc/verandix/user-guide.html")));
    QVERIFY(guide.open(QIODevice::WriteOnly));
    guide.close();
    QVERIFY(UserGuide::open());
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(guide.fileName())});
    UserGuide::setOpener({});
    UserGuide::setApplicationDir(QString());
}

QTEST_GUILESS_MAIN(tst_UserGuide)
#include "tst_userguide.moc"
